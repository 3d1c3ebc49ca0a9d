#include "platform/journal/JournalingPlatform.h"

namespace journal {

bool JournalHardware::PciInstallationCheck() {
  return below_.platform.hardware.PciInstallationCheck();
}

std::uint8_t JournalHardware::PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                                std::uint16_t offset) {
  return below_.platform.hardware.PciReadConfigByte(bus, deviceFunction, offset);
}

std::uint16_t JournalHardware::PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                                 std::uint16_t offset) {
  return below_.platform.hardware.PciReadConfigWord(bus, deviceFunction, offset);
}

void JournalHardware::PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                         std::uint16_t offset, std::uint16_t value) {
  below_.platform.hardware.PciWriteConfigWord(bus, deviceFunction, offset, value);
  const auto device = static_cast<std::uint8_t>(deviceFunction >> 3);
  const auto function = static_cast<std::uint8_t>(deviceFunction & 7);
  below_.journal.Record("pci", PciWrite(PciSlot(bus, device, function), offset, value));
}

std::uint16_t JournalHardware::PortRead16(std::uint16_t port) {
  return below_.platform.hardware.PortRead16(port);
}

std::uint32_t JournalHardware::PortRead32(std::uint16_t port) {
  return below_.platform.hardware.PortRead32(port);
}

void JournalHardware::PortWrite32(std::uint16_t port, std::uint32_t value) {
  below_.platform.hardware.PortWrite32(port, value);
  below_.journal.Record("port", PortWrite(port, value));
}

}  // namespace journal
