// A file or folder a command reads (an option file, an answers file, an expect file, the disc):
// read whole, or refused with a message that names it and what is wrong (not there, a folder
// where a file belongs or the other way round, unreadable).
#pragma once

#include <string>
#include <vector>

namespace lab {

// `what` names it in the message: "the answers file".
bool ReadInputFile(const std::string& path, const std::string& what, std::string& text,
                   std::string& error);

// A disc folder a command reads: false with a message when it is not there, is no folder, or
// cannot be read; `empty` tells whether it holds nothing.
bool CheckDiscFolder(const std::string& disc, bool& empty, std::string& error);

}  // namespace lab
