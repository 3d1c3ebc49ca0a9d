// The REGEDIT4 loader takes any text with a clear answer, and what it took exports and loads
// back the same; the registry purge then walks whatever registry it built.
#include <cstdlib>

#include "cleanup/RegistryPurge.h"
#include "platform/sim/SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  sim::SimMachine machine(sim::WindowsVersion::Win98SE);
  std::string error;
  if (!machine.Registry().Import(text, error)) {
    if (error.empty()) {
      std::abort();  // a refusal always says why
    }
  }
  const std::string exported = machine.Registry().Export();
  sim::SimMachine again(sim::WindowsVersion::Win98SE);
  if (!again.Registry().Import(exported, error) || again.Registry().Export() != exported) {
    std::abort();
  }
  const std::uint16_t vendor = size > 1 ? static_cast<std::uint16_t>(data[0] | data[1] << 8) : 0;
  if (vendor == 0x7C5A || size % 2 == 0) {
    cleanup::PurgeChipDriverRegistry(machine.Platform().registry);
  } else {
    cleanup::PurgeCodecDriverRegistry(machine.Platform().registry, 0x8086, 0x2445);
  }
  if (machine.Registry().OpenHandleCount() != 0) {
    std::abort();
  }
  return 0;
}
