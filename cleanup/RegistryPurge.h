// What earlier installations of the maker's audio drivers left in the Windows 9x registry: the
// driver's instance of the MEDIA device class with its multimedia resources, the hardware keys of
// the audio device and of the maker's child and virtual devices, and the 3D-audio and ASIO
// registrations.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Registry.h"

namespace cleanup {

// What a purge found: 0 a hardware key was removed (and the 3D and ASIO keys with it), 1 no
// hardware key was there, 2 a hardware key could not be deleted, 3 a virtual device's key could
// not be deleted. The last two end the purge at once.
enum PurgeStatus : int {
  kPurged = 0,
  kNothingFound = 1,
  kHardwareKeyStays = 2,
  kVirtualKeyStays = 3
};

// The maker's own PCI chip: instances described as the maker's driver, every device 01xx.
int PurgeChipDriverRegistry(platform::Registry& registry);
// The maker's codec behind another vendor's AC'97 controller: instances the maker provided,
// the hardware key of that controller.
int PurgeCodecDriverRegistry(platform::Registry& registry, std::uint16_t vendorId,
                             std::uint16_t deviceId);

// Deletes the subkeys of HKEY_LOCAL_MACHINE `parent` that belong to MEDIA class instance
// `instance` ("0003"): those whose name ends in the instance number and one more character, as
// "...<0003>" does; at most 15 in one call.
void DeleteInstanceSubkeys(platform::Registry& registry, const std::string& parent,
                           const std::string& instance);

}  // namespace cleanup
