#include "platform/sim/SimHardware.h"

#include <cstdio>
#include <sstream>

#include "platform/journal/JournalWords.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr std::uint16_t kCommand = 0x04;
constexpr std::uint16_t kBar0 = 0x10;
constexpr std::uint16_t kBar1 = 0x14;
constexpr std::uint16_t kViaStatus = 0x40;
constexpr std::uint32_t kViaBusy = 1u << 24;
constexpr std::uint32_t kViaValid = 1u << 25;
constexpr std::uint32_t kViaRead = 1u << 23;

PciModel ModelOf(std::uint16_t vendor, std::uint16_t device) {
  if ((vendor == 0x8086 && (device == 0x2415 || device == 0x2425 || device == 0x2445)) ||
      (vendor == 0x1039 && device == 0x7012)) {
    return PciModel::IntelAc97;
  }
  if (vendor == 0x1106 && (device == 0x3058 || device == 0x3059)) {
    return PciModel::ViaAc97;
  }
  return PciModel::Plain;
}

bool ParseHex(const std::string& text, unsigned long limit, unsigned long& value) {
  if (text.empty() || text.size() > 8 ||
      text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  value = std::stoul(text, nullptr, 16);
  return value <= limit;
}

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

}  // namespace

std::optional<PciDeviceSetup> ParsePciDevice(const std::string& slot, const std::string& text,
                                             std::string& error) {
  PciDeviceSetup setup;
  unsigned long bus = 0, device = 0, function = 0, vendor = 0, id = 0;
  std::size_t colon = slot.find(':');
  std::size_t dot = slot.find('.');
  if (colon == std::string::npos || dot == std::string::npos || dot < colon ||
      !ParseHex(slot.substr(0, colon), 0xFF, bus) ||
      !ParseHex(slot.substr(colon + 1, dot - colon - 1), 31, device) ||
      !ParseHex(slot.substr(dot + 1), 7, function)) {
    error = "PCI slot \"" + slot + "\" is not BUS:DEVICE.FUNCTION in hex (device up to 1F)";
    return std::nullopt;
  }
  std::istringstream words(text);
  std::string ids;
  words >> ids;
  std::size_t idColon = ids.find(':');
  if (idColon == std::string::npos || !ParseHex(ids.substr(0, idColon), 0xFFFF, vendor) ||
      !ParseHex(ids.substr(idColon + 1), 0xFFFF, id)) {
    error = "PCI device \"" + text + "\" does not start with VENDOR:DEVICE in hex";
    return std::nullopt;
  }
  setup.bus = static_cast<std::uint8_t>(bus);
  setup.device = static_cast<std::uint8_t>(device);
  setup.function = static_cast<std::uint8_t>(function);
  setup.vendorId = static_cast<std::uint16_t>(vendor);
  setup.deviceId = static_cast<std::uint16_t>(id);
  std::string option;
  while (words >> option) {
    std::size_t equals = option.find('=');
    std::string name = option.substr(0, equals);
    std::string value = equals == std::string::npos ? "" : option.substr(equals + 1);
    unsigned long number = 0;
    bool ok = true;
    if (name == "decoding") {
      ok = value == "on" || value == "off";
      setup.decoding = value == "on";
    } else if (name == "bar0" || name == "bar1") {
      ok = ParseHex(value, 0xFFFF, number);
      (name == "bar0" ? setup.bar0 : setup.bar1) = static_cast<std::uint16_t>(number & 0xFF00);
    } else if (name == "codec") {
      unsigned long first = 0, second = 0;
      std::size_t at = value.find(':');
      ok = at != std::string::npos && ParseHex(value.substr(0, at), 0xFFFF, first) &&
           ParseHex(value.substr(at + 1), 0xFFFF, second);
      setup.codec[0] = static_cast<std::uint16_t>(first);
      setup.codec[1] = static_cast<std::uint16_t>(second);
    } else if (name == "coldreset") {
      setup.coldReset = true;
    } else if (name == "semaphore") {
      if (value == "stuck") {
        setup.semaphoreStuck = true;
      } else {
        ok = ParseHex(value, 0xFFFF, number);
        setup.semaphoreBusyReads = static_cast<int>(number);
      }
    } else if (name == "linkready") {
      ok = value == "never";
      setup.linkNeverReady = true;
    } else if (name == "busy") {
      ok = ParseHex(value, 0xFFFF, number);
      setup.viaBusyReads = static_cast<int>(number);
    } else if (name == "broken") {
      setup.readsAllOnes = true;
    } else {
      ok = false;
    }
    if (!ok) {
      error = "PCI device option \"" + option + "\" is not understood";
      return std::nullopt;
    }
  }
  return setup;
}

std::uint16_t SimHardware::Function::Word(std::uint16_t offset) const {
  return static_cast<std::uint16_t>(config[offset & 0xFE] | (config[(offset & 0xFE) + 1] << 8));
}

void SimHardware::Function::SetWord(std::uint16_t offset, std::uint16_t value) {
  config[offset & 0xFE] = static_cast<std::uint8_t>(value);
  config[(offset & 0xFE) + 1] = static_cast<std::uint8_t>(value >> 8);
}

std::string SimHardware::Function::Slot() const {
  return journal::PciSlot(setup.bus, setup.device, setup.function) + " (" + Hex(setup.vendorId, 4) +
         ":" + Hex(setup.deviceId, 4) + ")";
}

SimHardware::SimHardware(SimCore& core) : core_(core) {}

SimHardware::~SimHardware() = default;

void SimHardware::AddDevice(const PciDeviceSetup& setup) {
  auto function = std::make_unique<Function>();
  function->setup = setup;
  function->model = ModelOf(setup.vendorId, setup.deviceId);
  function->SetWord(0x00, setup.vendorId);
  function->SetWord(0x02, setup.deviceId);
  if (function->model != PciModel::Plain) {
    function->SetWord(kCommand, setup.decoding ? 0x0005 : 0x0000);
    function->SetWord(kBar0, static_cast<std::uint16_t>((setup.decoding ? setup.bar0 : 0) | 1));
    function->SetWord(kBar1, static_cast<std::uint16_t>((setup.decoding ? setup.bar1 : 0) | 1));
    function->config[kViaStatus] = setup.linkNeverReady ? 0x00 : 0x01;
    function->globalControl = setup.coldReset ? 0x0 : 0x2;
  }
  for (auto it = functions_.begin(); it != functions_.end(); ++it) {
    const PciDeviceSetup& other = (*it)->setup;
    if (other.bus == setup.bus && other.device == setup.device &&
        other.function == setup.function) {
      *it = std::move(function);
      return;
    }
  }
  functions_.push_back(std::move(function));
}

void SimHardware::RemoveDevice(std::uint8_t bus, std::uint8_t device, std::uint8_t function) {
  Function* found = At(bus, device, function);
  for (auto it = functions_.begin(); it != functions_.end(); ++it) {
    if (it->get() == found) {
      functions_.erase(it);
      return;
    }
  }
}

SimHardware::Function* SimHardware::At(std::uint8_t bus, std::uint8_t device,
                                       std::uint8_t function) {
  return Find(bus, static_cast<std::uint8_t>(device * 8 + function));
}

SimHardware::Function* SimHardware::Find(std::uint8_t bus, std::uint8_t deviceFunction) {
  for (auto& function : functions_) {
    if (function->setup.bus == bus &&
        function->setup.device * 8 + function->setup.function == deviceFunction) {
      return function.get();
    }
  }
  return nullptr;
}

std::uint16_t SimHardware::ConfigWord(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                                      std::uint8_t offset) {
  Function* found = At(bus, device, function);
  return found == nullptr ? 0xFFFF : found->Word(offset);
}

std::uint32_t SimHardware::GlobalControl(std::uint8_t bus, std::uint8_t device,
                                         std::uint8_t function) {
  Function* found = At(bus, device, function);
  return found == nullptr ? 0 : found->globalControl;
}

bool SimHardware::PciInstallationCheck() {
  if (core_.Injected(Call::PciBiosPresent)) {
    return false;  // as a machine without a PCI BIOS
  }
  return pciBios_;
}

std::uint8_t SimHardware::PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                            std::uint16_t offset) {
  if (core_.Injected(Call::ReadConfigByte)) {
    return 0xFF;  // a failed read gives all ones, as an empty slot does
  }
  ++configReads_;
  Function* function = Find(bus, deviceFunction);
  if (function == nullptr || function->setup.readsAllOnes || offset > 0xFF) {
    return 0xFF;
  }
  return function->config[offset];
}

std::uint16_t SimHardware::PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                             std::uint16_t offset) {
  if (core_.Injected(Call::ReadConfigWord)) {
    return 0xFFFF;
  }
  ++configReads_;
  Function* function = Find(bus, deviceFunction);
  if (function == nullptr || function->setup.readsAllOnes || offset > 0xFE) {
    return 0xFFFF;
  }
  return function->Word(offset);
}

void SimHardware::PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                     std::uint16_t offset, std::uint16_t value) {
  if (core_.Injected(Call::WriteConfigWord)) {
    return;  // nothing is written
  }
  Function* function = Find(bus, deviceFunction);
  if (function == nullptr || offset > 0xFE) {
    return;
  }
  if (offset == kBar0 || offset == kBar1) {
    value = static_cast<std::uint16_t>((value & 0xFF00) | 1);  // 256-byte I/O windows
  }
  if (offset == kCommand || offset == kBar0 || offset == kBar1) {
    function->SetWord(offset, value);
  }
  core_.Record("pci", journal::PciWrite(function->Slot(), offset, value));
}

SimHardware::Function* SimHardware::Decoder(std::uint16_t port, int& window,
                                            std::uint16_t& offset) {
  for (auto& function : functions_) {
    if (function->model == PciModel::Plain || (function->Word(kCommand) & 1) == 0) {
      continue;
    }
    // The bus-master window of the Intel and SiS controllers is 64 bytes long.
    const int windows = function->model == PciModel::IntelAc97 ? 2 : 1;
    for (int i = 0; i < windows; ++i) {
      std::uint16_t base = function->Word(i == 0 ? kBar0 : kBar1) & 0xFF00;
      std::uint16_t size = (function->model == PciModel::IntelAc97 && i == 1) ? 0x40 : 0x100;
      if (port >= base && port - base < size) {
        window = i;
        offset = static_cast<std::uint16_t>(port - base);
        return function.get();
      }
    }
  }
  return nullptr;
}

std::uint32_t SimHardware::Read(std::uint16_t port, int width) {
  ++portReads_;
  int window = 0;
  std::uint16_t offset = 0;
  Function* function = Decoder(port, window, offset);
  const std::uint32_t none = width == 16 ? 0xFFFF : 0xFFFFFFFF;
  if (function == nullptr) {
    return none;
  }
  if (function->model == PciModel::IntelAc97) {
    if (window == 0) {
      // The mixer window maps the codec's registers; without the link they read all ones.
      bool linkUp = (function->globalControl & 0x2) != 0;
      auto codecWord = [&](std::uint16_t at) -> std::uint32_t {
        if (!linkUp) {
          return 0xFFFF;
        }
        return at == 0x7C ? function->setup.codec[0] : at == 0x7E ? function->setup.codec[1] : 0;
      };
      return width == 16 ? codecWord(offset) : codecWord(offset) | (codecWord(offset + 2) << 16);
    }
    if (offset == 0x2C) {
      return width == 16 ? (function->globalControl & 0xFFFF) : function->globalControl;
    }
    if (offset == 0x34) {
      bool busy = function->setup.semaphoreStuck ||
                  function->semaphoreReads < function->setup.semaphoreBusyReads;
      ++function->semaphoreReads;
      return busy ? 1 : 0;
    }
    return 0;
  }
  // VIA: the codec command/status register.
  if (offset != 0x80 || width != 32) {
    return 0;
  }
  if (function->viaBusy > 0) {
    --function->viaBusy;
    return (function->viaRegister & 0x00FF0000) | kViaBusy;
  }
  if (function->viaPending) {
    std::uint32_t index = (function->viaRegister >> 16) & 0x7F;
    std::uint32_t data = index == 0x7C   ? function->setup.codec[0]
                         : index == 0x7E ? function->setup.codec[1]
                                         : 0;
    function->viaRegister = (index << 16) | kViaValid | data;
    function->viaPending = false;
  }
  return function->viaRegister;
}

std::uint16_t SimHardware::PortRead16(std::uint16_t port) {
  if (core_.Injected(Call::inpw)) {
    return 0xFFFF;  // as a port nothing decodes
  }
  return static_cast<std::uint16_t>(Read(port, 16));
}

std::uint32_t SimHardware::PortRead32(std::uint16_t port) {
  if (core_.Injected(Call::inpd)) {
    return 0xFFFFFFFF;
  }
  return Read(port, 32);
}

void SimHardware::PortWrite32(std::uint16_t port, std::uint32_t value) {
  if (core_.Injected(Call::outpd)) {
    return;  // nothing is written
  }
  int window = 0;
  std::uint16_t offset = 0;
  Function* function = Decoder(port, window, offset);
  core_.Record("port",
               journal::PortWrite(port, value) + (function ? " (" + function->Slot() + ")" : ""));
  if (function == nullptr) {
    return;
  }
  if (function->model == PciModel::IntelAc97 && window == 1 && offset == 0x2C) {
    function->globalControl = value;
  } else if (function->model == PciModel::ViaAc97 && offset == 0x80 && (value & kViaRead)) {
    function->viaRegister = value & 0x00FF0000;
    function->viaBusy = function->setup.viaBusyReads;
    function->viaPending = true;
  }
}

}  // namespace sim
