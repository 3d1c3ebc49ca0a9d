// The renames and deletions a machine holds for its next start: WININIT.INI's [rename] section
// on Windows 9x, the pending-rename list of the session manager on the NT family.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace lab {

struct PendingRename {
  std::string source;
  std::string target;  // empty: the source is deleted
};

std::vector<PendingRename> ReadPendingRenames(sim::SimMachine& machine);

}  // namespace lab
