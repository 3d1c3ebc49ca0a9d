// The PCI bus and I/O ports of the simulated machine, with models of the maker's chip and of
// the Intel, SiS and VIA AC'97 controllers with a codec behind them. Configuration writes and
// port writes are journalled; reads are counted.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Hardware.h"
#include "platform/sim/SimCore.h"

namespace sim {

enum class PciModel {
  Plain,      // configuration space only (bridges, the maker's chip...)
  IntelAc97,  // Intel ICH and SiS 7012: mixer window (BAR0) and bus-master window (BAR1)
  ViaAc97,    // VIA 686/8233: codec command/status register in the BAR0 window
};

struct PciDeviceSetup {
  std::uint8_t bus = 0;
  std::uint8_t device = 0;
  std::uint8_t function = 0;
  std::uint16_t vendorId = 0;
  std::uint16_t deviceId = 0;
  // AC'97 controllers:
  bool decoding = true;         // I/O space decoding on at start (command register bit 0)
  std::uint16_t bar0 = 0xE000;  // port bases when decoding
  std::uint16_t bar1 = 0xE100;
  std::uint16_t codec[2] = {0x4F52, 0x5641};  // codec registers 7Ch and 7Eh (the ORV5970)
  bool coldReset = false;  // Intel/SiS: the link starts in cold reset (global control bit 1 clear)
  int semaphoreBusyReads = 0;   // Intel/SiS: reads for which the access semaphore stays set
  bool semaphoreStuck = false;  //   ... or it never clears
  bool linkNeverReady = false;  // VIA: status byte 40h bit 0 never set
  int viaBusyReads = 2;         // VIA: reads for which a codec access stays busy
  bool readsAllOnes = false;    // a broken device: every configuration read gives FFFFh
};

// Parses "BB:DD.F=VVVV:DDDD option..." (hex numbers; options: decoding=off, bar0=E000,
// bar1=E100, codec=4F52:5641, coldreset, semaphore=N|stuck, linkready=never, busy=N, broken);
// nothing, with a message, when the text is malformed.
std::optional<PciDeviceSetup> ParsePciDevice(const std::string& slot, const std::string& text,
                                             std::string& error);

class SimHardware : public platform::Hardware {
 public:
  explicit SimHardware(SimCore& core);
  ~SimHardware() override;

  void SetPciBios(bool present) { pciBios_ = present; }
  // Puts a device into its slot, replacing what was there.
  void AddDevice(const PciDeviceSetup& setup);
  void RemoveDevice(std::uint8_t bus, std::uint8_t device, std::uint8_t function);

  struct Function;
  // The device at a slot, for tests and the detection driver's model.
  Function* At(std::uint8_t bus, std::uint8_t device, std::uint8_t function);
  const std::vector<std::unique_ptr<Function>>& Functions() const { return functions_; }
  std::uint16_t ConfigWord(std::uint8_t bus, std::uint8_t device, std::uint8_t function,
                           std::uint8_t offset);
  std::uint32_t GlobalControl(std::uint8_t bus, std::uint8_t device, std::uint8_t function);
  std::uint64_t PortReads() const { return portReads_; }
  std::uint64_t ConfigReads() const { return configReads_; }

  bool PciInstallationCheck() override;
  std::uint8_t PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                 std::uint16_t offset) override;
  std::uint16_t PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                  std::uint16_t offset) override;
  void PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction, std::uint16_t offset,
                          std::uint16_t value) override;
  std::uint16_t PortRead16(std::uint16_t port) override;
  std::uint32_t PortRead32(std::uint16_t port) override;
  void PortWrite32(std::uint16_t port, std::uint32_t value) override;

 private:
  Function* Find(std::uint8_t bus, std::uint8_t deviceFunction);
  // The function decoding a port, and the port's offset in which of its windows.
  Function* Decoder(std::uint16_t port, int& window, std::uint16_t& offset);
  std::uint32_t Read(std::uint16_t port, int width);

  SimCore& core_;
  bool pciBios_ = true;
  std::vector<std::unique_ptr<Function>> functions_;
  std::uint64_t portReads_ = 0;
  std::uint64_t configReads_ = 0;
};

struct SimHardware::Function {
  PciDeviceSetup setup;
  PciModel model = PciModel::Plain;
  std::array<std::uint8_t, 256> config{};
  std::uint32_t globalControl = 0;
  int semaphoreReads = 0;
  std::uint32_t viaRegister = 0;  // VIA codec command/status
  int viaBusy = 0;
  bool viaPending = false;  // a codec read was asked for and has not been delivered

  std::uint16_t Word(std::uint16_t offset) const;
  void SetWord(std::uint16_t offset, std::uint16_t value);
  std::string Slot() const;
};

}  // namespace sim
