// The folder the launcher was started from, derived from its program path as the runtime split
// it from the command line: a full path, a path without a drive, a relative or a bare name.
#pragma once

#include <string>

#include "platform/Files.h"

namespace app {

// Always ends in a backslash. A path without a drive takes the drive of the current directory.
std::string DeriveSourceDir(const std::string& programPath, platform::Files& files);

}  // namespace app
