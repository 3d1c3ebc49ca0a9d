// The maker's identifiers that tell a supported audio device: its PCI vendor and chip IDs, and
// the vendor-ID words of its AC'97 codec.
#pragma once

#include <cstdint>

namespace app {

inline constexpr std::uint16_t kMakerVendorId = 0x7C5A;
inline constexpr std::uint16_t kMakerChipId = 0x0111;
// The ORV5970 codec: its vendor-ID registers 7Ch and 7Eh.
inline constexpr std::uint16_t kCodecSignature[2] = {0x4F52, 0x5641};

}  // namespace app
