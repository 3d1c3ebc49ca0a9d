#include "install/DriverSigning.h"

#include <string>

#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace install {

namespace {
constexpr const char* kHardwareIdKey = "SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID";
constexpr const char* kMakerHardwareId = "PCI\\VEN_7C5A";
constexpr std::uint32_t kNameBuffer = 1024;
}  // namespace

void RemoveDriverSigningEntries(platform::Registry& registry) {
  app::ScopedKey key(registry, win::HKEY_LOCAL_MACHINE, kHardwareIdKey,
                     win::KEY_READ | win::KEY_SET_VALUE);
  if (!key.IsOpen()) {
    return;
  }
  // A deleted value's place is taken by the next one, so the walk stays on the same index
  // after a deletion; it ends at the first value that cannot be read.
  std::uint32_t index = 0;
  std::string name;
  while (registry.EnumValue(key.Get(), index, kNameBuffer, name) == 0) {
    bool removed = name.find(kMakerHardwareId) != std::string::npos &&
                   registry.DeleteValue(key.Get(), name) == 0;
    if (!removed) {
      ++index;
    }
  }
}

}  // namespace install
