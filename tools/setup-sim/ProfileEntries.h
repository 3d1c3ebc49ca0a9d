// The profile-file entries a run changed, as they ended: each key the run wrote or deleted,
// with its value before the run and after it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/JournalReading.h"
#include "tools/setup-sim/MachineState.h"

namespace lab {

struct ProfileEntry {
  std::string file;  // as the run named it
  std::string section;
  std::string key;
  std::optional<std::string> before;  // none: not there before the run
  std::optional<std::string> after;   // none: not there after it (deleted, or never written)
};

// One entry per key, in the order the run first wrote it; a deleted section stands for each
// key it held. Entries that end as they began are left out. `machine` is read as the run left
// it, before any restart.
std::vector<ProfileEntry> ProfileEndState(const std::vector<ProfileWrite>& writes,
                                          const MachineState& before, sim::SimMachine& machine);

}  // namespace lab
