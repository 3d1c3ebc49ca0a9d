#include "tools/setup-sim/MachineState.h"

#include "platform/sim/Text.h"

namespace lab {

MachineState CaptureState(sim::SimMachine& machine) {
  MachineState state;
  state.registry = machine.Registry().Export();
  sim::SimFileSystem& files = machine.Files();
  auto take = [&](const std::string& path, const sim::FileNode& node) {
    state.files[sim::Upper(path)] = FileState{path, node.isFolder, node.attributes, node.data};
  };
  for (char letter : files.Drives()) {
    if (!files.IsReadOnlyMedia(letter)) {
      files.Walk(letter, take);
    }
  }
  for (const std::string& share : files.Shares()) {
    if (!files.IsReadOnlyMedia(share)) {
      files.Walk(share, take);
    }
  }
  return state;
}

}  // namespace lab
