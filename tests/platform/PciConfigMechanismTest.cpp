// Configuration mechanism 1 over a model of the ports: reads and word writes reach the right
// bytes, and a word write leaves the other half of its doubleword alone.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "platform/PciConfigMechanism.h"

namespace {

// One function's configuration space behind ports 0CF8h and 0CFCh. The status register at 06h
// keeps error bits latched; writing a one clears a bit, as on real controllers.
class ModelPorts {
 public:
  ModelPorts() {
    Set16(0x00, 0x8086);
    Set16(0x02, 0x2445);
    Set16(0x04, 0x0000);
    Set16(0x06, 0xF290);  // latched errors in the upper bits
  }

  std::uint32_t In32(std::uint16_t port) {
    if (port == platform::kPciConfigAddress) {
      return address_;
    }
    EXPECT_EQ(port, platform::kPciConfigData);
    return Selected() ? Get16(Base()) | (static_cast<std::uint32_t>(Get16(Base() + 2)) << 16)
                      : 0xFFFFFFFF;
  }
  void Out32(std::uint16_t port, std::uint32_t value) {
    if (port == platform::kPciConfigAddress) {
      address_ = value;
      return;
    }
    ASSERT_EQ(port, platform::kPciConfigData);
    Write16(Base(), static_cast<std::uint16_t>(value));
    Write16(Base() + 2, static_cast<std::uint16_t>(value >> 16));
  }
  void Out16(std::uint16_t port, std::uint16_t value) {
    ASSERT_TRUE(port == platform::kPciConfigData || port == platform::kPciConfigData + 2);
    Write16(Base() + (port - platform::kPciConfigData), value);
  }

  std::uint16_t Get16(int offset) const {
    return static_cast<std::uint16_t>(space_[offset] | space_[offset + 1] << 8);
  }

 private:
  bool Selected() const { return address_ >> 8 == (0x80000000u | 1u << 16 | 0x2Du << 8) >> 8; }
  int Base() const { return static_cast<int>(address_ & 0xFC); }
  void Set16(int offset, std::uint16_t value) {
    space_[offset] = static_cast<std::uint8_t>(value);
    space_[offset + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  void Write16(int offset, std::uint16_t value) {
    if (!Selected()) {
      return;
    }
    if (offset == 0x06) {
      Set16(offset, Get16(offset) & static_cast<std::uint16_t>(~value));  // write one to clear
    } else if (offset >= 0x04) {
      Set16(offset, value);
    }
  }

  std::uint32_t address_ = 0;
  std::array<std::uint8_t, 256> space_{};
};

constexpr std::uint8_t kBus = 1;
constexpr std::uint8_t kDeviceFunction = 0x2D;  // device 5, function 5

TEST(PciConfigMechanism, ReadsTakeTheirBytesOfTheDoubleword) {
  ModelPorts ports;
  EXPECT_EQ(platform::PciConfigReadWord(ports, kBus, kDeviceFunction, 0x00), 0x8086);
  EXPECT_EQ(platform::PciConfigReadWord(ports, kBus, kDeviceFunction, 0x02), 0x2445);
  EXPECT_EQ(platform::PciConfigReadByte(ports, kBus, kDeviceFunction, 0x03), 0x24);
  EXPECT_EQ(platform::PciConfigReadWord(ports, kBus, 0x28, 0x00), 0xFFFF);  // nothing there
}

TEST(PciConfigMechanism, AWordWriteLeavesTheOtherHalfAlone) {
  ModelPorts ports;
  platform::PciConfigWriteWord(ports, kBus, kDeviceFunction, 0x04, 0x0005);
  EXPECT_EQ(ports.Get16(0x04), 0x0005);
  EXPECT_EQ(ports.Get16(0x06), 0xF290);  // the latched status survives the command write
  platform::PciConfigWriteWord(ports, kBus, kDeviceFunction, 0x10, 0x8001);
  platform::PciConfigWriteWord(ports, kBus, kDeviceFunction, 0x12, 0x0000);
  EXPECT_EQ(platform::PciConfigReadWord(ports, kBus, kDeviceFunction, 0x10), 0x8001);
  EXPECT_EQ(ports.Get16(0x12), 0x0000);
}

}  // namespace
