// A file a command reads (an option file, an answers file, an expect file): read whole, or
// refused with a message that names it and what is wrong (not there, a folder, unreadable).
#pragma once

#include <string>

namespace lab {

// `what` names it in the message: "the answers file".
bool ReadInputFile(const std::string& path, const std::string& what, std::string& text,
                   std::string& error);

}  // namespace lab
