// The PCI bus scan of the Windows 9x family: finds the maker's chip by its PCI identity, or, in
// udaMode, the ORV5970 codec behind an Intel, SiS or VIA AC'97 controller.
#pragma once

#include <cstdint>

#include "app/InstallContext.h"
#include "platform/Hardware.h"
#include "platform/System.h"

namespace detect {

// Records the first device that matches in the detection state and leaves it untouched
// otherwise. Reads udaMode from the same state.
void ChipScan(platform::Hardware& hardware, platform::System& system,
              app::DetectionState& detection);

// The two vendor-ID words of the codec behind a controller.
struct CodecWords {
  std::uint16_t first = 0;
  std::uint16_t second = 0;
};

// Intel and SiS: the codec registers are mapped in the mixer window (BAR0); the link's
// cold-reset bit and the access semaphore are in the bus-master window (BAR1).
CodecWords IchCodecRead(platform::Hardware& hardware, std::uint16_t bar0, std::uint16_t bar1);
// VIA: codec registers are asked for through the command/status register in the BAR0 window.
CodecWords ViaCodecRead(platform::Hardware& hardware, platform::System& system, std::uint8_t bus,
                        std::uint8_t deviceFunction, std::uint16_t bar0);
// The first 256-port window from 8000h on where every doubleword reads FFFFFFFFh, passing over
// `skip`; 0 when there is none.
std::uint16_t FindFreeWindow(platform::Hardware& hardware, std::uint16_t skip);

}  // namespace detect
