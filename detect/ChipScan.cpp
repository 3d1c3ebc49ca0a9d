#include "detect/ChipScan.h"

#include "app/ChipIds.h"

namespace detect {

namespace {

constexpr std::uint16_t kIntel = 0x8086;
constexpr std::uint16_t kSis = 0x1039;
constexpr std::uint16_t kVia = 0x1106;

constexpr std::uint16_t kVendorRegister = 0x00;
constexpr std::uint16_t kDeviceRegister = 0x02;
constexpr std::uint16_t kCommandRegister = 0x04;
constexpr std::uint16_t kBar0Register = 0x10;
constexpr std::uint16_t kBar1Register = 0x14;
constexpr std::uint16_t kViaStatusRegister = 0x40;

constexpr int kLastBus = 7;
constexpr int kPollLimit = 1000;  // further reads a poll makes before it goes on regardless
constexpr std::uint32_t kSettleMs = 300;
constexpr std::uint32_t kCodecWaitMs = 10;

bool PreFilterVendor(std::uint16_t vendor) {
  return vendor == kIntel || vendor == kSis || vendor == app::kMakerVendorId || vendor == kVia;
}

bool Ac97Controller(std::uint16_t vendor, std::uint16_t device) {
  switch (vendor) {
    case kIntel:
      return device == 0x2415 || device == 0x2425 || device == 0x2445;
    case kSis:
      return device == 0x7012;
    case kVia:
      return device == 0x3058 || device == 0x3059;
    default:
      return false;
  }
}

bool IsOrv5970(const CodecWords& words) {
  return words.first == app::kCodecSignature[0] && words.second == app::kCodecSignature[1];
}

void Record(app::DetectionState& detection, std::uint16_t vendor, std::uint16_t device,
            const CodecWords& words) {
  detection.chipVendorId = vendor;
  detection.chipDeviceId = device;
  detection.chipSignature[0] = words.first;
  detection.chipSignature[1] = words.second;
}

// Reads the semaphore until its bit 0 clears, at most kPollLimit further reads.
void WaitForSemaphore(platform::Hardware& hardware, std::uint16_t port) {
  std::uint16_t value = hardware.PortRead16(port);
  for (int reads = 0; (value & 1) != 0 && reads < kPollLimit; ++reads) {
    value = hardware.PortRead16(port);
  }
}

void WaitForViaLink(platform::Hardware& hardware, std::uint8_t bus, std::uint8_t deviceFunction) {
  std::uint8_t status = hardware.PciReadConfigByte(bus, deviceFunction, kViaStatusRegister);
  for (int reads = 0; (status & 1) == 0 && reads < kPollLimit; ++reads) {
    status = hardware.PciReadConfigByte(bus, deviceFunction, kViaStatusRegister);
  }
}

// Reads the command/status register while `keepReading` says so, at most kPollLimit further
// reads; the last value read.
template <class Condition>
std::uint32_t PollVia(platform::Hardware& hardware, std::uint16_t port, Condition keepReading) {
  std::uint32_t value = hardware.PortRead32(port);
  for (int reads = 0; keepReading(value) && reads < kPollLimit; ++reads) {
    value = hardware.PortRead32(port);
  }
  return value;
}

bool DataValid(std::uint32_t value) {
  return (value & (1u << 25)) != 0 && (value & (1u << 24)) == 0;
}

// A controller whose I/O decoding is off gets two free windows for the test and is put back
// afterwards. True when the codec matched.
bool TestDisabledController(platform::Hardware& hardware, platform::System& system,
                            std::uint8_t bus, std::uint8_t deviceFunction, std::uint16_t vendor,
                            std::uint16_t device, app::DetectionState& detection) {
  std::uint16_t first = FindFreeWindow(hardware, 0);
  std::uint16_t second = first != 0 ? FindFreeWindow(hardware, first) : 0;
  if (first == 0 || second == 0) {
    return false;
  }
  first |= 1;  // I/O space marker
  second |= 1;
  CodecWords words;
  if (vendor == kVia) {
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar0Register, first);
    hardware.PciWriteConfigWord(bus, deviceFunction, kCommandRegister, 0x0001);
    system.SleepEx(kSettleMs, false);
    words = ViaCodecRead(hardware, system, bus, deviceFunction, first & 0xFF00);
    if (IsOrv5970(words)) {
      Record(detection, vendor, device, words);
    }
    hardware.PciWriteConfigWord(bus, deviceFunction, kCommandRegister, 0x0000);
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar0Register, 0x0001);
  } else {
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar0Register, first);
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar1Register, second);
    hardware.PciWriteConfigWord(bus, deviceFunction, kCommandRegister, 0x0005);
    system.SleepEx(kSettleMs, false);
    words = IchCodecRead(hardware, first & 0xFF00, second & 0xFF00);
    if (IsOrv5970(words)) {
      Record(detection, vendor, device, words);
    }
    hardware.PciWriteConfigWord(bus, deviceFunction, kCommandRegister, 0x0000);
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar0Register, 0x0001);
    hardware.PciWriteConfigWord(bus, deviceFunction, kBar1Register, 0x0001);
  }
  return IsOrv5970(words);
}

bool TestEnabledController(platform::Hardware& hardware, platform::System& system, std::uint8_t bus,
                           std::uint8_t deviceFunction, std::uint16_t vendor, std::uint16_t device,
                           app::DetectionState& detection) {
  std::uint16_t bar0 = hardware.PciReadConfigWord(bus, deviceFunction, kBar0Register) & 0xFF00;
  CodecWords words;
  if (vendor == kVia) {
    words = ViaCodecRead(hardware, system, bus, deviceFunction, bar0);
  } else {
    std::uint16_t bar1 = hardware.PciReadConfigWord(bus, deviceFunction, kBar1Register) & 0xFF00;
    words = IchCodecRead(hardware, bar0, bar1);
  }
  if (!IsOrv5970(words)) {
    return false;
  }
  Record(detection, vendor, device, words);
  return true;
}

}  // namespace

CodecWords IchCodecRead(platform::Hardware& hardware, std::uint16_t bar0, std::uint16_t bar1) {
  const std::uint16_t globalControl = bar1 | 0x2C;
  const std::uint16_t semaphore = bar1 | 0x34;
  // The codec answers only once its link is out of cold reset (bit 1 of global control).
  bool raisedLink = false;
  std::uint32_t control = hardware.PortRead32(globalControl);
  if ((control & 0x2) == 0) {
    raisedLink = true;
    hardware.PortWrite32(globalControl, control | 0x2);
  }
  CodecWords words;
  WaitForSemaphore(hardware, semaphore);
  words.first = hardware.PortRead16(bar0 | 0x7C);
  WaitForSemaphore(hardware, semaphore);
  words.second = hardware.PortRead16(bar0 | 0x7E);
  if (raisedLink) {
    control = hardware.PortRead32(globalControl);
    hardware.PortWrite32(globalControl, control & ~0x2u);
  }
  return words;
}

CodecWords ViaCodecRead(platform::Hardware& hardware, platform::System& system, std::uint8_t bus,
                        std::uint8_t deviceFunction, std::uint16_t bar0) {
  const std::uint16_t command = bar0 | 0x80;
  CodecWords words;
  WaitForViaLink(hardware, bus, deviceFunction);
  PollVia(hardware, command, [](std::uint32_t value) { return (value & (1u << 24)) == 0; });
  hardware.PortWrite32(command, 0x00FC0000);  // read codec register 7Ch
  system.SleepEx(kCodecWaitMs, false);
  words.first = static_cast<std::uint16_t>(
      PollVia(hardware, command, [](std::uint32_t value) { return !DataValid(value); }));

  WaitForViaLink(hardware, bus, deviceFunction);
  PollVia(hardware, command, [](std::uint32_t value) { return (value & (1u << 16)) == 0; });
  hardware.PortWrite32(command, 0x00FE0000);  // read codec register 7Eh
  system.SleepEx(kCodecWaitMs, false);
  words.second = static_cast<std::uint16_t>(
      PollVia(hardware, command, [](std::uint32_t value) { return !DataValid(value); }));
  return words;
}

std::uint16_t FindFreeWindow(platform::Hardware& hardware, std::uint16_t skip) {
  for (std::uint32_t window = 0x8000; window < 0xFF00; window += 0x100) {
    if (window == skip) {
      continue;
    }
    bool free = true;
    for (std::uint32_t offset = 0; offset < 0x100 && free; offset += 4) {
      free = hardware.PortRead32(static_cast<std::uint16_t>(window | offset)) == 0xFFFFFFFF;
    }
    if (free) {
      return static_cast<std::uint16_t>(window);
    }
  }
  return 0;
}

void ChipScan(platform::Hardware& hardware, platform::System& system,
              app::DetectionState& detection) {
  if (!hardware.PciInstallationCheck()) {
    return;
  }
  for (int bus = 0; bus <= kLastBus; ++bus) {
    for (int device = 0; device < 32; ++device) {
      const auto busNumber = static_cast<std::uint8_t>(bus);
      // The vendor of function 0 stands for all eight functions of the device.
      const std::uint16_t vendor = hardware.PciReadConfigWord(
          busNumber, static_cast<std::uint8_t>(device * 8), kVendorRegister);
      if (!PreFilterVendor(vendor)) {
        continue;
      }
      for (int function = 0; function < 8; ++function) {
        const auto deviceFunction = static_cast<std::uint8_t>(device * 8 + function);
        const std::uint16_t id =
            hardware.PciReadConfigWord(busNumber, deviceFunction, kDeviceRegister);
        if (detection.udaMode == 0) {
          if (vendor == app::kMakerVendorId && id == app::kMakerChipId) {
            Record(detection, vendor, id, CodecWords{});
            return;
          }
          continue;
        }
        if (!Ac97Controller(vendor, id)) {
          continue;
        }
        const std::uint16_t commandRegister =
            hardware.PciReadConfigWord(busNumber, deviceFunction, kCommandRegister);
        const bool found = (commandRegister & 1) != 0
                               ? TestEnabledController(hardware, system, busNumber, deviceFunction,
                                                       vendor, id, detection)
                               : TestDisabledController(hardware, system, busNumber, deviceFunction,
                                                        vendor, id, detection);
        if (found) {
          return;
        }
      }
    }
  }
}

}  // namespace detect
