// What a run can change on a simulated machine, taken before and after it: the registry as
// REGEDIT4 text, and every file and folder of the drives and shares that are not read-only media.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/sim/SimMachine.h"

namespace lab {

struct FileState {
  std::string path;  // full Windows path, as the machine spells it
  bool isFolder = false;
  std::uint32_t attributes = 0;
  sim::FileData data;  // shared with the machine: taking a state copies no bytes
};

struct MachineState {
  std::string registry;
  std::map<std::string, FileState> files;  // by upper-cased path: Windows names ignore case
};

MachineState CaptureState(sim::SimMachine& machine);

}  // namespace lab
