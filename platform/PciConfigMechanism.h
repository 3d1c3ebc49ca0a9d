// PCI configuration mechanism 1: the address register at port 0CF8h selects a doubleword of a
// function's configuration space, the data ports 0CFCh to 0CFFh give its bytes. Written over the
// port operations of whoever reaches the ports, so that the same code serves the real backend
// and its tests.
#pragma once

#include <cstdint>

namespace platform {

inline constexpr std::uint16_t kPciConfigAddress = 0xCF8;
inline constexpr std::uint16_t kPciConfigData = 0xCFC;

// The address register's value for a function's doubleword at `offset`.
constexpr std::uint32_t PciConfigAddress(std::uint8_t bus, std::uint8_t deviceFunction,
                                         std::uint16_t offset) {
  return 0x80000000u | (static_cast<std::uint32_t>(bus) << 16) |
         (static_cast<std::uint32_t>(deviceFunction) << 8) | (offset & 0xFCu);
}

// `Ports` offers In32(port), Out32(port, value) and Out16(port, value).
template <class Ports>
std::uint8_t PciConfigReadByte(Ports& ports, std::uint8_t bus, std::uint8_t deviceFunction,
                               std::uint16_t offset) {
  ports.Out32(kPciConfigAddress, PciConfigAddress(bus, deviceFunction, offset));
  return static_cast<std::uint8_t>(ports.In32(kPciConfigData) >> (8 * (offset & 3)));
}

template <class Ports>
std::uint16_t PciConfigReadWord(Ports& ports, std::uint8_t bus, std::uint8_t deviceFunction,
                                std::uint16_t offset) {
  ports.Out32(kPciConfigAddress, PciConfigAddress(bus, deviceFunction, offset));
  return static_cast<std::uint16_t>(ports.In32(kPciConfigData) >> (8 * (offset & 2)));
}

// A word write touches only its 16 bits, as the PCI BIOS's does: the other half of the
// doubleword may be a register whose bits clear when written with ones (the status register
// beside the command register).
template <class Ports>
void PciConfigWriteWord(Ports& ports, std::uint8_t bus, std::uint8_t deviceFunction,
                        std::uint16_t offset, std::uint16_t value) {
  ports.Out32(kPciConfigAddress, PciConfigAddress(bus, deviceFunction, offset));
  ports.Out16(static_cast<std::uint16_t>(kPciConfigData + (offset & 2)), value);
}

}  // namespace platform
