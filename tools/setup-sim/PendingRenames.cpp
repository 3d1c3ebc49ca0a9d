#include "tools/setup-sim/PendingRenames.h"

namespace lab {

std::vector<PendingRename> ReadPendingRenames(sim::SimMachine& machine) {
  std::vector<PendingRename> renames;
  for (const sim::SimMachine::PendingRename& rename : machine.PendingRenames()) {
    renames.push_back(PendingRename{rename.source, rename.target});
  }
  return renames;
}

}  // namespace lab
