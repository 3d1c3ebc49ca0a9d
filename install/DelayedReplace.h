// Replacing a file that is in use, at the next start of Windows NT: the new file is copied
// beside it under a temporary name, and NT's pending-rename list deletes the installed file and
// renames the new one into its place before anything loads it.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace install {

// An installed file and the new file copied beside it under a temporary name.
struct Replacement {
  std::string temporary;
  std::string installed;
};

// Whether the list of moves for the next start (a value of the session manager's key) can be
// written. Asked before a replacement that must be all or none, so that no move is refused
// half-way for want of that right, leaving a deletion with nothing put in its place.
bool CanScheduleAtNextStart(platform::Registry& registry);

// Schedules each replacement in order: the installed file's attributes reset (a read-only file
// is not deleted at the next start), its deletion, then the rename of the temporary file into
// its place. All or none: a move that is refused ends the scheduling and puts the list of moves
// back as it was before the first (nothing is scheduled without a list it can read whole). True
// when every move was accepted.
bool ScheduleReplacements(platform::Platform& platform,
                          const std::vector<Replacement>& replacements);

// Replace-copies `source` to `temporary`, then schedules the replacement of `installed` by it.
// Without the new file nothing is scheduled: the installed file stays, and the system keeps a
// working driver. True when both moves are scheduled.
bool ReplaceAtNextStart(platform::Platform& platform, const std::string& source,
                        const std::string& temporary, const std::string& installed);

}  // namespace install
