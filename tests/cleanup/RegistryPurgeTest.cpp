// What the registry purge removes of earlier drivers, and what it leaves: the MEDIA class
// instances of each variant, their resource keys, the hardware keys, and the 3D and ASIO keys.
#include <gtest/gtest.h>

#include <cstdio>

#include "cleanup/RegistryPurge.h"
#include "platform/sim/SimMachine.h"

namespace {

constexpr const char* kMedia =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\";
constexpr const char* kResources =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources\\";

class RegistryPurge : public ::testing::Test {
 protected:
  RegistryPurge() : machine(sim::WindowsVersion::Win98SE) {}

  void Import(const std::string& body) {
    std::string error;
    ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n" + body, error)) << error;
  }
  void Key(const std::string& path) { machine.Registry().EnsureKey(path); }
  bool Has(const std::string& path) { return machine.Registry().FindKey(path) != nullptr; }
  int Chip() { return cleanup::PurgeChipDriverRegistry(machine.Platform().registry); }
  int Codec(std::uint16_t vendor, std::uint16_t device) {
    return cleanup::PurgeCodecDriverRegistry(machine.Platform().registry, vendor, device);
  }
  void ThreeDAndAsio() {
    Key("HKEY_CLASSES_ROOT\\Spherix\\CLSID");
    Key("HKEY_CLASSES_ROOT\\CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}");
    Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\Orvanta ASIO");
    Key("HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\Another ASIO");
    Key("HKEY_CLASSES_ROOT\\CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}");
  }
  bool AnyThreeDOrAsio() {
    return Has("HKEY_CLASSES_ROOT\\Spherix") ||
           Has("HKEY_CLASSES_ROOT\\CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}") ||
           Has("HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO") ||
           Has("HKEY_CLASSES_ROOT\\CLSID\\{188135E1-D565-11d2-854F-00A0C99F5D19}");
  }
  sim::SimMachine machine;
};

TEST_F(RegistryPurge, TheCodecVariantRemovesTheMakersInstanceWithItsResources) {
  Import(std::string("[") + kMedia + "0002]\r\n\"ProviderName\"=\"Microsoft\"\r\n[" + kMedia +
         "0003]\r\n\"DriverDesc\"=\"Audio\"\r\n\"ProviderName\"=\"oRvAnTa Inc.\"\r\n");
  for (const char* kind : {"aux", "joystick", "midi", "mixer", "wave"}) {
    Key(std::string(kResources) + kind + "\\ovmix.drv<0003>");
    Key(std::string(kResources) + kind + "\\ovmix.drv<0013>");
  }
  Key(std::string(kResources) + "wave\\other.drv<0002>");
  EXPECT_EQ(Codec(0x8086, 0x2445), cleanup::kNothingFound);  // only MEDIA entries: status 1
  EXPECT_FALSE(Has(std::string(kMedia) + "0003"));
  EXPECT_TRUE(Has(std::string(kMedia) + "0002"));
  for (const char* kind : {"aux", "joystick", "midi", "mixer", "wave"}) {
    EXPECT_FALSE(Has(std::string(kResources) + kind + "\\ovmix.drv<0003>")) << kind;
    EXPECT_TRUE(Has(std::string(kResources) + kind + "\\ovmix.drv<0013>")) << kind;
  }
  EXPECT_TRUE(Has(std::string(kResources) + "wave\\other.drv<0002>"));
}

// Power lost at any call of a purge, and the purge run again after the start: none of the
// instance's resource entries is left, as the instance that marks them goes last.
TEST(RegistryPurgeCut, ASecondPurgeFindsWhatACutOneLeft) {
  for (std::uint64_t call = 1;; ++call) {
    sim::SimMachine machine(sim::WindowsVersion::Win98SE);
    std::string error;
    ASSERT_TRUE(machine.Registry().Import(
        std::string("REGEDIT4\r\n\r\n[") + kMedia + "0003]\r\n\"ProviderName\"=\"Orvanta\"\r\n",
        error));
    for (const char* kind : {"aux", "joystick", "midi", "mixer", "wave"}) {
      machine.Registry().EnsureKey(std::string(kResources) + kind + "\\ovmix.drv<0003>");
    }
    machine.PlanPowerLoss(
        sim::PowerLossPlan{call, sim::CutWrite::Prefix, sim::RegistryAfterLoss::Kept});
    try {
      cleanup::PurgeCodecDriverRegistry(machine.Platform().registry, 0x8086, 0x2445);
    } catch (const sim::PowerLoss&) {
    }
    if (!machine.Core().power.IsOff()) {
      EXPECT_GT(call, 20u);  // the purge ran whole: every call of it was tried
      break;
    }
    machine.PowerOn();
    cleanup::PurgeCodecDriverRegistry(machine.Platform().registry, 0x8086, 0x2445);
    for (const char* kind : {"aux", "joystick", "midi", "mixer", "wave"}) {
      EXPECT_EQ(machine.Registry().FindKey(std::string(kResources) + kind + "\\ovmix.drv<0003>"),
                nullptr)
          << kind << ", power lost at call " << call;
    }
  }
}

TEST_F(RegistryPurge, TheChipVariantKnowsItsInstancesByDescriptionOrInf) {
  Import(std::string("[") + kMedia + "0000]\r\n\"DriverDesc\"=\"ORV6490 PCI Audio\"\r\n[" + kMedia +
         "0001]\r\n\"InfPath\"=\"ovpci032.inf\"\r\n[" + kMedia +
         "0002]\r\n\"ProviderName\"=\"Orvanta\"\r\n[" + kMedia +
         "0003]\r\n\"driverdesc\"=\"ORVANTA, but the name is in other letters\"\r\n[" + kMedia +
         "0004]\r\n\"DriverDesc\"=\"ORV\"\r\n");
  ThreeDAndAsio();
  EXPECT_EQ(Chip(), cleanup::kNothingFound);
  EXPECT_FALSE(Has(std::string(kMedia) + "0000"));
  EXPECT_FALSE(Has(std::string(kMedia) + "0001"));
  EXPECT_TRUE(Has(std::string(kMedia) + "0002"));  // the codec variant's rule
  EXPECT_TRUE(Has(std::string(kMedia) + "0003"));  // value names compare as written
  EXPECT_TRUE(Has(std::string(kMedia) + "0004"));  // too short to match
  EXPECT_TRUE(AnyThreeDOrAsio());                  // nothing of the hardware found
}

TEST_F(RegistryPurge, TheChipVariantRemovesEveryDeviceOfTheMakersRange) {
  for (const char* device :
       {"VEN_7C5A&DEV_0100&SUBSYS_00000000\\BUS_00&DEV_0B",
        "VEN_7C5A&DEV_0111&SUBSYS_01117C5A\\BUS_00&DEV_0B", "VEN_7C5A&DEV_01FF",
        "VEN_7C5A&DEV_0211", "VEN_8086&DEV_2445", "ven_7c5a&dev_0111"}) {
    Key(std::string("HKEY_LOCAL_MACHINE\\Enum\\PCI\\") + device);
  }
  ThreeDAndAsio();
  EXPECT_EQ(Chip(), cleanup::kPurged);
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0100&SUBSYS_00000000"));
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_01117C5A"));
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_01FF"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0211"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_2445"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\ven_7c5a&dev_0111"));  // prefixes as written
  EXPECT_FALSE(AnyThreeDOrAsio());
}

TEST_F(RegistryPurge, TheCodecVariantRemovesItsControllerOnly) {
  Key("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_3059&SUBSYS_00000000");
  Key("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_3058&SUBSYS_00000000");
  Key("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111");
  EXPECT_EQ(Codec(0x1106, 0x3059), cleanup::kPurged);
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_3059&SUBSYS_00000000"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_1106&DEV_3058&SUBSYS_00000000"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111"));
}

TEST_F(RegistryPurge, AnUnknownControllerStillPurgesTheOtherStages) {
  Key("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10DE&DEV_0059");
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000\\0");
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0001\\0");
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\OTHER0000");
  Key("HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\VSX-SBEMU\\0000");
  ThreeDAndAsio();
  EXPECT_EQ(Codec(0x10DE, 0x0059), cleanup::kPurged);
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10DE&DEV_0059"));
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000"));
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0001"));
  EXPECT_TRUE(Has("HKEY_LOCAL_MACHINE\\Enum\\ORV\\OTHER0000"));
  EXPECT_FALSE(Has("HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\VSX-SBEMU"));
  EXPECT_FALSE(AnyThreeDOrAsio());
}

TEST_F(RegistryPurge, AFailedDeletionEndsThePurge) {
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000");
  Key("HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\VSX-LEGACY");
  ThreeDAndAsio();
  machine.InjectedFaults().FailEvery(sim::Call::RegDeleteKeyA, win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(Chip(), cleanup::kHardwareKeyStays);
  EXPECT_TRUE(AnyThreeDOrAsio());

  machine.InjectedFaults().Clear();
  machine.Registry().DeleteKey(win::HKEY_LOCAL_MACHINE, "Enum\\ORV\\CHILD0000");
  machine.InjectedFaults().FailEvery(sim::Call::RegDeleteKeyA, win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(Chip(), cleanup::kVirtualKeyStays);
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
}

TEST_F(RegistryPurge, AtMostFifteenResourceKeysGoInOneCall) {
  for (int i = 0; i < 20; ++i) {
    Key(std::string(kResources) + "wave\\ov" + std::to_string(100 + i) + ".drv<0003>");
  }
  // A name longer than any fixed slot is taken whole.
  Key(std::string(kResources) + "wave\\" + std::string(60, 'n') + "<0003>");
  cleanup::DeleteInstanceSubkeys(machine.Platform().registry,
                                 "System\\CurrentControlSet\\control\\MediaResources\\wave",
                                 "0003");
  const sim::RegNode* wave = machine.Registry().FindKey(std::string(kResources) + "wave");
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(wave->children.size(), 21u - 15u);
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
}

TEST_F(RegistryPurge, OddAndManyInstancesAreEachJudgedWhole) {
  std::string body;
  for (int i = 0; i < 120; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%04d", i);
    body += std::string("[") + kMedia + name + "]\r\n\"ProviderName\"=\"" +
            (i % 2 ? "Orvanta" : "Other") + "\"\r\n";
  }
  body += std::string("[") + kMedia + "1]\r\n\"ProviderName\"=\"Other\"\r\n";
  body += std::string("[") + kMedia + std::string(300, 'L') + "]\r\n\"ProviderName\"=\"x\"\r\n";
  Import(body);
  Key(std::string(kResources) + "wave\\" + std::string(100, 'n') + "<0119>");
  Key(std::string(kResources) + "wave\\<1>");
  EXPECT_EQ(Codec(0x8086, 0x2415), cleanup::kNothingFound);
  EXPECT_FALSE(Has(std::string(kMedia) + "0119"));
  EXPECT_TRUE(Has(std::string(kMedia) + "0118"));
  EXPECT_TRUE(Has(std::string(kMedia) + "1"));
  EXPECT_TRUE(Has(std::string(kMedia) + std::string(300, 'L')));
  EXPECT_FALSE(Has(std::string(kResources) + "wave\\" + std::string(100, 'n') + "<0119>"));
  EXPECT_TRUE(Has(std::string(kResources) + "wave\\<1>"));
  const sim::RegNode* media = machine.Registry().FindKey(kMedia);
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->children.size(), 120u / 2 + 2);
}

}  // namespace
