// The words of the journal: how a registry value, a driver message, a device request or a PCI
// slot is written. The simulated machine's journal and the journaling layer over any backend
// use the same words, so that the two journals of a run can be set side by side.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace journal {

struct Line {
  std::uint64_t timeMs = 0;
  std::string category;  // "registry", "file", "profile", "process", "window", "ui", "wait"...
  std::string text;
};

// "    1234 ms  registry create key HKEY_LOCAL_MACHINE\...": as the lab tool prints a line.
std::string FormatLine(const Line& line);

std::string Quoted(const std::string& text);
// Upper-case hexadecimal with at least `digits` digits.
std::string Hex(std::uint32_t value, int digits);

// REG_SZ "text", REG_DWORD 0x00000001, or "type N hex:01,02" for anything else.
std::string RegistryData(std::uint32_t type, const std::vector<std::uint8_t>& data);

// DRV_LOAD, DRV_INSTALL..., "message N" for others.
std::string DriverMessageName(std::uint32_t message);
// 0, or the value in hexadecimal with 0x.
std::string DriverParam(std::intptr_t value);
// "PATH: DRV_INSTALL (0x10010, 0) answers 2"
std::string DriverMessage(const std::string& library, std::uint32_t message, std::intptr_t param1,
                          std::intptr_t param2, std::intptr_t reply);

// "\\.\orvainfo: request 00000000 00000000 answered 7C5A 0111 0000 0000 (256 bytes)": the
// first two doublewords asked and the first four words of the answer.
std::string DeviceRequest(const std::string& device, const std::vector<std::uint8_t>& input,
                          const std::vector<std::uint8_t>& output, std::uint32_t bytesReturned);
std::string DeviceRefused(const std::string& device);

// "00:0B.0": bus, device and function of a PCI function.
std::string PciSlot(std::uint8_t bus, std::uint8_t device, std::uint8_t function);
// "00:0B.0 write 04h = 0001h"; `slot` may carry more than PciSlot gives.
std::string PciWrite(const std::string& slot, std::uint16_t offset, std::uint16_t value);
// "E02Ch <- 00000002h"
std::string PortWrite(std::uint16_t port, std::uint32_t value);

// "message box "Setup": "text" -> Yes"
std::string MessageBoxAnswered(const std::string& caption, const std::string& text, int answer);

}  // namespace journal
