// Replacing a file that is in use, at the next start of Windows NT: the new file is copied
// beside it under a temporary name, and NT's pending-rename list deletes the installed file and
// renames the new one into its place before anything loads it.
#pragma once

#include <string>

#include "platform/Files.h"

namespace install {

// Replace-copies `source` to `temporary`, then schedules the deletion of `installed` and the
// rename of `temporary` to `installed`, in this order, for the next start. Without the new
// file nothing is scheduled: the installed file stays, and the system keeps a working driver.
// True when both moves are scheduled.
bool ReplaceAtNextStart(platform::Files& files, const std::string& source,
                        const std::string& temporary, const std::string& installed);

}  // namespace install
