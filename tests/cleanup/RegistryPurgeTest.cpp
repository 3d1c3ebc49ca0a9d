// What the registry purge removes of earlier drivers, and what it leaves: the MEDIA class
// instances of each variant, their resource keys, the hardware keys, and the 3D and ASIO keys.
#include <gtest/gtest.h>

#include <cstdio>

#include "cleanup/RegistryPurge.h"
#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

constexpr const char* kMedia =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\";
constexpr const char* kResources =
    "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources\\";
constexpr const char* kAsio = "HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO";
constexpr const char* kAsioClsid = "{188135E1-D565-11d2-854F-00A0C99F5D19}";

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
    Import(std::string("[") + kAsio + "\\Orvanta ASIO]\r\n\"CLSID\"=\"" + kAsioClsid + "\"\r\n");
    Key(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kAsioClsid);
  }
  bool AnyThreeDOrAsio() {
    return Has("HKEY_CLASSES_ROOT\\Spherix") ||
           Has("HKEY_CLASSES_ROOT\\CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}") || Has(kAsio) ||
           Has(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kAsioClsid);
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
         "0004]\r\n\"DriverDesc\"=\"ORV\"\r\n[" + kMedia + "0005]\r\n\"" + std::string(300, 'V') +
         "\"=\"a name too long to read\"\r\n\"DriverDesc\"=\"Orvanta PCI\"\r\n[" + kMedia +
         "0006]\r\n\"DriverDesc\"=\"ORVANTIC\"\r\n\"InfPath\"=\"OVPCI032.IN\"\r\n");
  ThreeDAndAsio();
  EXPECT_EQ(Chip(), cleanup::kNothingFound);
  EXPECT_FALSE(Has(std::string(kMedia) + "0000"));
  EXPECT_FALSE(Has(std::string(kMedia) + "0001"));
  EXPECT_TRUE(Has(std::string(kMedia) + "0002"));   // the codec variant's rule
  EXPECT_TRUE(Has(std::string(kMedia) + "0003"));   // value names compare as written
  EXPECT_TRUE(Has(std::string(kMedia) + "0004"));   // too short to match
  EXPECT_FALSE(Has(std::string(kMedia) + "0005"));  // the long name passed over
  EXPECT_TRUE(Has(std::string(kMedia) + "0006"));   // the names' whole length counts
  EXPECT_TRUE(AnyThreeDOrAsio());                   // nothing of the hardware found
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
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
  std::string deleted;  // the 3D audio's keys, then the ASIO driver's
  for (const std::string& line : testsupport::JournalTexts(machine, "registry")) {
    for (const char* key : {"Spherix", "{D8F1EEE0", "ASIO\\Orvanta ASIO", "{188135E1"}) {
      deleted += line.rfind("delete key", 0) == 0 && line.find(key) != std::string::npos
                     ? std::string(key) + " "
                     : "";
    }
  }
  EXPECT_EQ(deleted, "Spherix {D8F1EEE0 ASIO\\Orvanta ASIO {188135E1 ");
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

TEST_F(RegistryPurge, OnlyTheMakersAsioDriversGo) {
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000");
  const std::string maker = "\"{188135e1-d565-11D2-854f-00a0c99f5d19}\"";
  Import(std::string("[") + kAsio + "\\Ours]\r\n\"CLSID\"=" + maker + "\r\n[" + kAsio +
         "\\Theirs]\r\n\"CLSID\"=\"{8C1CB5C0-0000-11D2-8BAE-00A0C9190123}\"\r\n[" + kAsio +
         "\\No CLSID]\r\n\"Description\"=" + maker + "\r\n[" + kAsio +
         "\\As DWORD]\r\n\"CLSID\"=dword:188135e1\r\n[" + kAsio +
         "\\Longer]\r\n\"CLSID\"=\"{188135E1-D565-11d2-854F-00A0C99F5D19}0\"\r\n");
  Key(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kAsioClsid);
  EXPECT_EQ(Chip(), cleanup::kPurged);
  EXPECT_FALSE(Has(std::string(kAsio) + "\\Ours"));
  for (const char* kept : {"Theirs", "No CLSID", "As DWORD", "Longer"}) {
    EXPECT_TRUE(Has(std::string(kAsio) + "\\" + kept)) << kept;
  }
  EXPECT_FALSE(Has(std::string("HKEY_CLASSES_ROOT\\CLSID\\") + kAsioClsid));

  // The key goes once nothing else is left in it; a value of its own keeps it.
  Import(std::string("[-") + kAsio + "]\r\n[" + kAsio + "\\Ours]\r\n\"CLSID\"=" + maker + "\r\n[" +
         kAsio + "]\r\n\"Note\"=\"x\"\r\n");
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000");
  EXPECT_EQ(Chip(), cleanup::kPurged);
  EXPECT_TRUE(Has(kAsio));
  Import(std::string("[-") + kAsio + "]\r\n[" + kAsio + "\\Ours]\r\n\"CLSID\"=" + maker + "\r\n");
  Key("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000");
  EXPECT_EQ(Chip(), cleanup::kPurged);
  EXPECT_FALSE(Has(kAsio));
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);
}

// A registry whose deletions report success and remove nothing.
class DeletionsThatStay : public sim::SimRegistry {
 public:
  using SimRegistry::SimRegistry;
  std::int32_t DeleteKey(platform::RegKey, const std::string&) override { return 0; }
};

TEST_F(RegistryPurge, AKeyThatStaysAfterItsDeletionEndsTheWalk) {
  DeletionsThatStay registry(machine.Core());
  registry.EnsureKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111");
  EXPECT_EQ(cleanup::PurgeChipDriverRegistry(registry), cleanup::kHardwareKeyStays);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
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
    body += std::string("[") + kMedia + name + "]\r\n";
    // 0116 and 0118: the maker's name as the 1001st and the 1000th value, the last examined.
    for (int filler = 0; filler < (i == 116 ? 1000 : i == 118 ? 999 : 0); ++filler) {
      body += "\"v" + std::to_string(filler) + "\"=\"\"\r\n";
    }
    body +=
        std::string("\"ProviderName\"=\"") + (i % 2 || i >= 116 ? "Orvanta" : "Other") + "\"\r\n";
  }
  body += std::string("[") + kMedia + "1]\r\n\"ProviderName\"=\"Other\"\r\n";
  body += std::string("[") + kMedia + std::string(300, 'L') + "]\r\n\"ProviderName\"=\"x\"\r\n";
  Import(body);
  Key(std::string(kResources) + "wave\\" + std::string(100, 'n') + "<0119>");
  Key(std::string(kResources) + "wave\\<1>");
  EXPECT_EQ(Codec(0x8086, 0x2415), cleanup::kNothingFound);
  EXPECT_FALSE(Has(std::string(kMedia) + "0119"));
  EXPECT_FALSE(Has(std::string(kMedia) + "0118"));
  EXPECT_TRUE(Has(std::string(kMedia) + "0116"));
  EXPECT_TRUE(Has(std::string(kMedia) + "1"));
  EXPECT_TRUE(Has(std::string(kMedia) + std::string(300, 'L')));
  EXPECT_FALSE(Has(std::string(kResources) + "wave\\" + std::string(100, 'n') + "<0119>"));
  EXPECT_TRUE(Has(std::string(kResources) + "wave\\<1>"));
  const sim::RegNode* media = machine.Registry().FindKey(kMedia);
  ASSERT_NE(media, nullptr);
  EXPECT_EQ(media->children.size(), 120u / 2 + 1);
}

}  // namespace
