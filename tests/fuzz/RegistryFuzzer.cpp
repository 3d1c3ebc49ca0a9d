// The REGEDIT4 loader takes any text with a clear answer, and what it took exports and loads
// back the same; the registry purge then walks whatever registry it built.
#include <cstdlib>

#include "cleanup/RegistryPurge.h"
#include "platform/sim/SimRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  sim::SimCore core;
  sim::SimRegistry registry(core);
  std::string error;
  if (!registry.Import(text, error)) {
    if (error.empty()) {
      std::abort();  // a refusal always says why
    }
  }
  const std::string exported = registry.Export();
  sim::SimCore againCore;
  sim::SimRegistry again(againCore);
  if (!again.Import(exported, error) || again.Export() != exported) {
    std::abort();
  }
  const std::uint16_t vendor = size > 1 ? static_cast<std::uint16_t>(data[0] | data[1] << 8) : 0;
  if (vendor == 0x7C5A || size % 2 == 0) {
    cleanup::PurgeChipDriverRegistry(registry);
  } else {
    cleanup::PurgeCodecDriverRegistry(registry, 0x8086, 0x2445);
  }
  if (registry.OpenHandleCount() != 0) {
    std::abort();
  }
  return 0;
}
