// Where a report goes: standard output, or a file named with --output (or --write-expect). A
// file is written whole or not at all: through a temporary file beside it that then takes its
// name, so that a failure or an interruption leaves the old file, or none. Nothing the command
// reads is ever written.
#pragma once

#include <string>
#include <vector>

namespace lab {

// What a command reads: a file, or a folder with everything in it.
struct Input {
  std::string path;
  std::string what;  // "the disc", "the option file"...
};

// False with a message when a report cannot go to `path`: a folder, a folder that is not there
// or cannot be written, or one of the inputs (the file itself, or anything inside an input
// folder). Nothing is created. Empty or "-" is standard output.
bool CheckOutput(const std::string& path, const std::vector<Input>& inputs, std::string& error);
// Standard output when `path` is empty or "-".
bool WriteOutput(const std::string& path, const std::string& text, std::string& error);

// Whether `path` is `folder` or lies inside it, links resolved.
bool IsInside(const std::string& path, const std::string& folder);

}  // namespace lab
