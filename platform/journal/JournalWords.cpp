#include "platform/journal/JournalWords.h"

#include <cstdio>

#include "platform/WinConstants.h"

namespace journal {

namespace {

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  if (bytes.size() < offset + 4) {
    return 0;
  }
  return static_cast<std::uint32_t>(bytes[offset] | (bytes[offset + 1] << 8) |
                                    (bytes[offset + 2] << 16) |
                                    (static_cast<std::uint32_t>(bytes[offset + 3]) << 24));
}

unsigned LittleEndian16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return bytes.size() < offset + 2
             ? 0u
             : static_cast<unsigned>(bytes[offset] | (bytes[offset + 1] << 8));
}

}  // namespace

std::string FormatLine(const Line& line) {
  char prefix[48];
  std::snprintf(prefix, sizeof prefix, "%8llu ms  %-8s ",
                static_cast<unsigned long long>(line.timeMs), line.category.c_str());
  return prefix + line.text;
}

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string Hex(std::uint32_t value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, static_cast<unsigned>(value));
  return buffer;
}

std::string RegistryData(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  char buffer[16];
  if ((type == win::REG_SZ || type == win::REG_EXPAND_SZ) && !data.empty() && data.back() == 0) {
    std::string text(data.begin(), data.end() - 1);
    if (text.find('\0') == std::string::npos) {
      return std::string(type == win::REG_SZ ? "REG_SZ " : "REG_EXPAND_SZ ") + Quoted(text);
    }
  }
  if (type == win::REG_DWORD && data.size() == 4) {
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(LittleEndian32(data, 0)));
    return std::string("REG_DWORD ") + buffer;
  }
  std::snprintf(buffer, sizeof buffer, "type %u", static_cast<unsigned>(type));
  std::string result = buffer;
  result += " hex:";
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%s%02x", i ? "," : "", data[i]);
    result += buffer;
  }
  return result;
}

std::string DriverMessageName(std::uint32_t message) {
  switch (message) {
    case win::DRV_LOAD:
      return "DRV_LOAD";
    case win::DRV_ENABLE:
      return "DRV_ENABLE";
    case win::DRV_OPEN:
      return "DRV_OPEN";
    case win::DRV_CLOSE:
      return "DRV_CLOSE";
    case win::DRV_DISABLE:
      return "DRV_DISABLE";
    case win::DRV_FREE:
      return "DRV_FREE";
    case win::DRV_CONFIGURE:
      return "DRV_CONFIGURE";
    case win::DRV_QUERYCONFIGURE:
      return "DRV_QUERYCONFIGURE";
    case win::DRV_INSTALL:
      return "DRV_INSTALL";
    default:
      return "message " + std::to_string(message);
  }
}

std::string DriverParam(std::intptr_t value) {
  if (value == 0) {
    return "0";
  }
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX",
                static_cast<unsigned long long>(static_cast<std::uintptr_t>(value)));
  return text;
}

std::string DriverMessage(const std::string& library, std::uint32_t message, std::intptr_t param1,
                          std::intptr_t param2, std::intptr_t reply) {
  return library + ": " + DriverMessageName(message) + " (" + DriverParam(param1) + ", " +
         DriverParam(param2) + ") answers " + std::to_string(reply);
}

std::string DeviceRequest(const std::string& device, const std::vector<std::uint8_t>& input,
                          const std::vector<std::uint8_t>& output, std::uint32_t bytesReturned) {
  char text[120];
  std::snprintf(text, sizeof text, ": request %08X %08X answered %04X %04X %04X %04X (%u bytes)",
                static_cast<unsigned>(LittleEndian32(input, 0)),
                static_cast<unsigned>(LittleEndian32(input, 4)), LittleEndian16(output, 0),
                LittleEndian16(output, 2), LittleEndian16(output, 4), LittleEndian16(output, 6),
                static_cast<unsigned>(bytesReturned));
  return device + text;
}

std::string DeviceRefused(const std::string& device) {
  return device + ": request refused";
}

std::string PciSlot(std::uint8_t bus, std::uint8_t device, std::uint8_t function) {
  return Hex(bus, 2) + ":" + Hex(device, 2) + "." + Hex(function, 1);
}

std::string PciWrite(const std::string& slot, std::uint16_t offset, std::uint16_t value) {
  return slot + " write " + Hex(offset, 2) + "h = " + Hex(value, 4) + "h";
}

std::string PortWrite(std::uint16_t port, std::uint32_t value) {
  return Hex(port, 4) + "h <- " + Hex(value, 8) + "h";
}

std::string MessageBoxAnswered(const std::string& caption, const std::string& text, int answer) {
  return "message box " + Quoted(caption) + ": " + Quoted(text) + " -> " +
         (answer == win::IDOK    ? "OK"
          : answer == win::IDYES ? "Yes"
          : answer == win::IDNO  ? "No"
                                 : std::to_string(answer));
}

}  // namespace journal
