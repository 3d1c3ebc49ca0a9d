// The renames and deletions a machine holds for its next start: WININIT.INI's [rename] section
// on Windows 9x, the pending-rename list of the session manager on the NT family.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace lab {

using PendingRename = sim::SimMachine::PendingRename;

inline std::vector<PendingRename> ReadPendingRenames(sim::SimMachine& machine) {
  return machine.PendingRenames();
}

}  // namespace lab
