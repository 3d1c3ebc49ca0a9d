// The PCI bus scan on simulated topologies: both modes, enabled and disabled controllers, the
// cold-reset bit, the window assignment and its undoing, and hardware that misbehaves.
#include <gtest/gtest.h>

#include "detect/ChipScan.h"
#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using sim::PciDeviceSetup;

PciDeviceSetup Device(const char* slot, const char* text) {
  std::string error;
  auto setup = sim::ParsePciDevice(slot, text, error);
  EXPECT_TRUE(setup) << error;
  return setup.value_or(PciDeviceSetup{});
}

app::DetectionState ScanOn(sim::SimMachine& machine, int udaMode) {
  app::DetectionState detection;
  detection.udaMode = udaMode;
  detect::ChipScan(machine.Platform().hardware, machine.Platform().system, detection);
  return detection;
}

class ChipScan : public ::testing::Test {
 protected:
  ChipScan() : machine(sim::WindowsVersion::Win98SE) {}
  void Add(const char* slot, const char* text) { machine.Hardware().AddDevice(Device(slot, text)); }
  app::DetectionState Scan(int udaMode) { return ScanOn(machine, udaMode); }
  std::vector<std::string> Journal(const std::string& category) {
    return testsupport::JournalLines(machine, category);
  }
  sim::SimMachine machine;
};

TEST_F(ChipScan, TheMakersChipEndsTheScan) {
  Add("00:00.0", "8086:7190");
  Add("00:03.0", "7C5A:0112");
  Add("01:05.0", "7C5A:0111");
  Add("02:00.0", "7C5A:0111");
  app::DetectionState found = Scan(0);
  EXPECT_EQ(found.chipVendorId, 0x7C5A);
  EXPECT_EQ(found.chipDeviceId, 0x0111);
  EXPECT_EQ(found.chipSignature[0], 0);
  EXPECT_EQ(found.chipSignature[1], 0);
  // Bus 0: a vendor read per device, and eight device-ID reads for each of the two devices with
  // a pre-filter vendor (48); bus 1: the vendors of devices 0 to 5 and the device ID of 5.0 (7);
  // nothing after the match.
  EXPECT_EQ(machine.Hardware().ConfigReads(), 48u + 7u);
}

TEST_F(ChipScan, OnlyTheMakersChipCountsWithoutUdaMode) {
  Add("00:03.0", "7C5A:0112");
  Add("00:1F.5", "8086:2445");
  EXPECT_EQ(Scan(0).chipVendorId, 0);
  // And the maker's own chip does not count in udaMode.
  sim::SimMachine other;
  other.Hardware().AddDevice(Device("01:05.0", "7C5A:0111"));
  app::DetectionState detection = ScanOn(other, 1);
  EXPECT_EQ(detection.chipVendorId, 0);
}

TEST_F(ChipScan, AControllerBehindABridgeFunction) {
  Add("00:1F.0", "8086:2440");
  Add("00:1F.5", "8086:2445 codec=4F52:5641");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipVendorId, 0x8086);
  EXPECT_EQ(found.chipDeviceId, 0x2445);
  EXPECT_EQ(found.chipSignature[0], 0x4F52);
  EXPECT_EQ(found.chipSignature[1], 0x5641);
}

TEST_F(ChipScan, TheColdResetBitIsRaisedForTheReadsOnly) {
  Add("00:1F.0", "8086:2440");
  Add("00:1F.5", "8086:2445 bar0=D000 bar1=D100 coldreset");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipDeviceId, 0x2445);
  EXPECT_EQ(Journal("port"),
            (std::vector<std::string>{"port D12Ch <- 00000002h (00:1F.5 (8086:2445))",
                                      "port D12Ch <- 00000000h (00:1F.5 (8086:2445))"}));
  EXPECT_EQ(machine.Hardware().GlobalControl(0, 0x1F, 5), 0u);
  // Without cold reset nothing is written.
  sim::SimMachine warm;
  warm.Hardware().AddDevice(Device("00:1F.0", "8086:2440"));
  warm.Hardware().AddDevice(Device("00:1F.5", "8086:2445"));
  app::DetectionState detection = ScanOn(warm, 1);
  EXPECT_EQ(detection.chipDeviceId, 0x2445);
  EXPECT_TRUE(warm.Journal().empty());
}

TEST_F(ChipScan, ADisabledControllerBorrowsTwoWindowsAndGivesThemBack) {
  for (const char* codec : {"codec=4F52:5641", "codec=4F52:1234"}) {
    sim::SimMachine fresh;
    fresh.Hardware().AddDevice(Device("00:1F.0", "8086:2440"));
    fresh.Hardware().AddDevice(
        Device("00:1F.5", (std::string("8086:2415 decoding=off ") + codec).c_str()));
    app::DetectionState detection = ScanOn(fresh, 1);
    EXPECT_EQ(testsupport::JournalLines(fresh),
              (std::vector<std::string>{"pci 00:1F.5 (8086:2415) write 10h = 8001h",
                                        "pci 00:1F.5 (8086:2415) write 14h = 8101h",
                                        "pci 00:1F.5 (8086:2415) write 04h = 0005h", "wait 300 ms",
                                        "pci 00:1F.5 (8086:2415) write 04h = 0000h",
                                        "pci 00:1F.5 (8086:2415) write 10h = 0001h",
                                        "pci 00:1F.5 (8086:2415) write 14h = 0001h"}))
        << codec;
    EXPECT_EQ(detection.chipDeviceId, std::string(codec) == "codec=4F52:5641" ? 0x2415 : 0)
        << codec;
    EXPECT_EQ(fresh.Hardware().ConfigWord(0, 0x1F, 5, 0x04), 0x0000);
    EXPECT_EQ(fresh.Hardware().ConfigWord(0, 0x1F, 5, 0x10), 0x0001);
  }
}

TEST_F(ChipScan, WindowsInUseArePassedOver) {
  // Decoding controllers at 8000h and 8300h: the free windows are 8100h and 8200h.
  Add("00:1E.0", "8086:2445 bar0=8000 bar1=9000 codec=1111:2222");
  Add("00:1D.0", "1106:3058 bar0=8300 codec=1111:2222");
  Add("00:1F.0", "8086:2440");
  Add("00:1F.5", "8086:2415 decoding=off");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipDeviceId, 0x2415);
  std::vector<std::string> writes = Journal("pci");
  ASSERT_GE(writes.size(), 2u);
  EXPECT_EQ(writes[0], "pci 00:1F.5 (8086:2415) write 10h = 8101h");
  EXPECT_EQ(writes[1], "pci 00:1F.5 (8086:2415) write 14h = 8201h");
}

TEST_F(ChipScan, AnotherCodecLetsTheScanGoOn) {
  Add("00:1E.0", "8086:2445 codec=4F52:5640");
  Add("00:1F.0", "8086:2440");
  Add("00:1F.5", "8086:2445 bar0=D000 bar1=D100");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipDeviceId, 0x2445);
  // The first controller was tested and left: recorded is the second one.
  EXPECT_EQ(found.chipSignature[1], 0x5641);
  EXPECT_GT(machine.Hardware().PortReads(), 8u);
}

TEST_F(ChipScan, ViaControllers) {
  Add("00:11.0", "1106:3074");
  Add("00:11.5", "1106:3059 codec=4F52:5641");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipVendorId, 0x1106);
  EXPECT_EQ(found.chipDeviceId, 0x3059);
  EXPECT_EQ(found.chipSignature[0], 0x4F52);
  EXPECT_EQ(found.chipSignature[1], 0x5641);
  EXPECT_EQ(Journal("wait"), (std::vector<std::string>{"wait 10 ms", "wait 10 ms"}));
  // Two waits for a bit the idle controller never shows, each cut off after its 1000 further
  // reads, and each answer after two busy reads; the same with a codec word's bit 15 set.
  EXPECT_EQ(machine.Hardware().PortReads(), 2u * 1001u + 2u * 3u);
  sim::SimMachine other;
  other.Hardware().AddDevice(Device("00:11.0", "1106:3074"));
  other.Hardware().AddDevice(Device("00:11.5", "1106:3059 codec=8000:8000"));
  ScanOn(other, 1);
  EXPECT_EQ(other.Hardware().PortReads(), 2u * 1001u + 2u * 3u);
}

TEST_F(ChipScan, ADisabledViaControllerGetsOneWindow) {
  Add("00:11.0", "1106:3074");
  Add("00:11.5", "1106:3058 decoding=off");
  app::DetectionState found = Scan(1);
  EXPECT_EQ(found.chipDeviceId, 0x3058);
  EXPECT_EQ(testsupport::JournalLines(machine),
            (std::vector<std::string>{"pci 00:11.5 (1106:3058) write 10h = 8001h",
                                      "pci 00:11.5 (1106:3058) write 04h = 0001h", "wait 300 ms",
                                      "port 8080h <- 00FC0000h (00:11.5 (1106:3058))", "wait 10 ms",
                                      "port 8080h <- 00FE0000h (00:11.5 (1106:3058))", "wait 10 ms",
                                      "pci 00:11.5 (1106:3058) write 04h = 0000h",
                                      "pci 00:11.5 (1106:3058) write 10h = 0001h"}));
}

TEST_F(ChipScan, PollsThatNeverEndAreBounded) {
  Add("00:1F.0", "8086:2440");
  Add("00:1F.5", "8086:2445 semaphore=stuck");
  app::DetectionState found = Scan(1);
  // A semaphore that stays set only costs its 1001 reads per poll: the codec is still read.
  EXPECT_EQ(found.chipDeviceId, 0x2445);
  // Global control, then twice the semaphore's 1001 reads and a codec word.
  EXPECT_EQ(machine.Hardware().PortReads(), 1u + 2u * (1001u + 1u));
  sim::SimMachine via;
  via.Hardware().AddDevice(Device("00:11.0", "1106:3074"));
  via.Hardware().AddDevice(Device("00:11.5", "1106:3059 linkready=never busy=FFFF"));
  app::DetectionState detection = ScanOn(via, 1);
  EXPECT_EQ(detection.chipVendorId, 0);
  // Four polls of the command/status register, each cut off after its 1000 further reads.
  EXPECT_EQ(via.Hardware().PortReads(), 4u * 1001u);
  // The two waits for the link: 1000 further reads each, where a ready link needs none.
  sim::SimMachine ready;
  ready.Hardware().AddDevice(Device("00:11.0", "1106:3074"));
  ready.Hardware().AddDevice(Device("00:11.5", "1106:3059 busy=FFFF"));
  ScanOn(ready, 1);
  EXPECT_EQ(via.Hardware().ConfigReads(), ready.Hardware().ConfigReads() + 2u * 1000u);
}

TEST_F(ChipScan, TheLastBusIsScannedToo) {
  Add("07:1F.0", "7C5A:0111");
  EXPECT_EQ(Scan(0).chipDeviceId, 0x0111);
}

TEST_F(ChipScan, NoPciBiosNoScan) {
  Add("01:05.0", "7C5A:0111");
  machine.Hardware().SetPciBios(false);
  EXPECT_EQ(Scan(0).chipVendorId, 0);
  EXPECT_EQ(machine.Hardware().ConfigReads(), 0u);
}

TEST_F(ChipScan, BrokenAndCrowdedBuses) {
  // Every slot of the eight buses filled with Intel bridges, and a device whose reads are all
  // ones: the scan ends with nothing found and nothing changed.
  for (int bus = 0; bus < 8; ++bus) {
    for (int device = 0; device < 32; ++device) {
      PciDeviceSetup setup = Device("00:00.0", "8086:7190");
      setup.bus = static_cast<std::uint8_t>(bus);
      setup.device = static_cast<std::uint8_t>(device);
      machine.Hardware().AddDevice(setup);
    }
  }
  machine.Hardware().AddDevice(Device("03:04.0", "7C5A:0111 broken"));
  EXPECT_EQ(Scan(0).chipVendorId, 0);
  EXPECT_EQ(Scan(1).chipVendorId, 0);
  EXPECT_TRUE(machine.Journal().empty());
}

TEST_F(ChipScan, NoFreeWindowSkipsTheController) {
  // Controllers decoding every window from 8000h up, then a disabled one that would match.
  for (int i = 0; i < 64; ++i) {
    PciDeviceSetup setup = Device("02:00.0", "8086:2445 codec=0000:0000");
    setup.device = static_cast<std::uint8_t>(i / 2);
    setup.function = static_cast<std::uint8_t>(i % 2 ? 5 : 0);
    setup.bar0 = static_cast<std::uint16_t>(0x8000 + 0x200 * i);
    setup.bar1 = static_cast<std::uint16_t>(0x8100 + 0x200 * i);
    machine.Hardware().AddDevice(setup);
  }
  // Each bus-master window is 64 bytes: fill the rest of those windows too.
  for (int i = 0; i < 64; ++i) {
    PciDeviceSetup setup = Device("03:00.0", "1106:3058 codec=0000:0000");
    setup.device = static_cast<std::uint8_t>(i / 2);
    setup.function = static_cast<std::uint8_t>(i % 2 ? 5 : 0);
    setup.bar0 = static_cast<std::uint16_t>(0x8100 + 0x200 * i);
    machine.Hardware().AddDevice(setup);
  }
  Add("04:00.0", "8086:2440");
  Add("04:00.5", "8086:2415 decoding=off");
  EXPECT_EQ(detect::FindFreeWindow(machine.Platform().hardware, 0), 0);
  EXPECT_EQ(Scan(1).chipVendorId, 0);
  EXPECT_TRUE(Journal("pci").empty());
}

}  // namespace
