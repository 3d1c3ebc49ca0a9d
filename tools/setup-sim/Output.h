// Where a report goes: standard output, or a file named with --output. A report that cannot be
// written whole is an error, so that nothing follows as if it had been.
#pragma once

#include <string>

namespace lab {

// False with a message when the file cannot be created (checked before a run starts).
bool CheckOutput(const std::string& path, std::string& error);
// Standard output when `path` is empty or "-".
bool WriteOutput(const std::string& path, const std::string& text, std::string& error);

}  // namespace lab
