// PCI configuration space and I/O ports, as the PCI BIOS (interrupt 1Ah, AH = B1h) offers them
// to programs on the Windows 9x family.
#pragma once

#include <cstdint>

namespace platform {

class Hardware {
 public:
  virtual ~Hardware() = default;

  // Function 01h; true when AH is 0 on return.
  virtual bool PciInstallationCheck() = 0;
  // `deviceFunction` is the device number times 8 plus the function number (BL).
  virtual std::uint8_t PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                         std::uint16_t offset) = 0;
  virtual std::uint16_t PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                          std::uint16_t offset) = 0;
  virtual void PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                  std::uint16_t offset, std::uint16_t value) = 0;
  virtual std::uint16_t PortRead16(std::uint16_t port) = 0;
  virtual std::uint32_t PortRead32(std::uint16_t port) = 0;
  virtual void PortWrite32(std::uint16_t port, std::uint32_t value) = 0;
};

}  // namespace platform
