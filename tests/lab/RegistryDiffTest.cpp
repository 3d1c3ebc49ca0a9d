// The registry diff: what it finds between two exports, and that its REGEDIT4 text, imported
// over the first registry, gives the second.
#include <gtest/gtest.h>

#include "platform/WinConstants.h"
#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/RegistryDiff.h"

namespace {

const char kBefore[] =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111]\r\n\"HardwareID\"=\"PCI\\\\VEN_"
    "7C5A\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111\\BUS_00]\r\n\"Driver\"="
    "\"MEDIA\\\\0001\"\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111\\BUS_00\\Deeper]\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Run]\r\n\"Sonavex Applications\"=\"x.exe\"\r\n"
    "\"Keep\"=dword:00000001\r\n\"Format\"=\"Radio Quality\"\r\n\r\n";

std::string After() {
  sim::SimMachine machine;
  std::string error;
  EXPECT_TRUE(machine.Registry().Import(kBefore, error)) << error;
  platform::RegKey key;
  machine.Registry().CreateKey(win::HKEY_LOCAL_MACHINE, "Software\\Run", win::KEY_ALL_ACCESS, key);
  machine.Registry().DeleteValue(key, "Sonavex Applications");
  const std::string cd = "CD Quality";
  machine.Registry().SetValue(key, "FORMAT", win::REG_SZ,
                              reinterpret_cast<const std::uint8_t*>(cd.c_str()), cd.size() + 1);
  machine.Registry().CloseKey(key);
  machine.Registry().DeleteKey(win::HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_7C5A&DEV_0111");
  machine.Registry().CreateKey(win::HKEY_USERS, ".DEFAULT\\InstallLocationsMRU",
                               win::KEY_ALL_ACCESS, key);
  const std::string location = "C:\\PROGRA~1\\ORVANTA\\WIN_9X\\";
  machine.Registry().SetValue(key, "b", win::REG_SZ,
                              reinterpret_cast<const std::uint8_t*>(location.c_str()),
                              location.size() + 1);
  machine.Registry().CloseKey(key);
  return machine.Registry().Export();
}

TEST(RegistryDiff, FindsAddedDeletedAndChangedKeysAndValues) {
  sim::SimMachine machine;
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(kBefore, error)) << error;
  const std::vector<lab::RegKeyChange> changes =
      lab::DiffRegistry(machine.Registry().Export(), After());
  ASSERT_GE(changes.size(), 3u);
  // A deleted tree is named once, at its top, with its subkeys counted.
  EXPECT_EQ(changes[0].kind, lab::RegKeyChange::Kind::Deleted);
  EXPECT_EQ(changes[0].path, "HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111");
  EXPECT_EQ(changes[0].deletedSubkeys, 2);
  // Value names compare ignoring case: FORMAT is a change of "Format", not a new value.
  const lab::RegKeyChange& run = changes[1];
  EXPECT_EQ(run.kind, lab::RegKeyChange::Kind::Changed);
  ASSERT_EQ(run.values.size(), 2u);
  EXPECT_EQ(run.values[0].name, "\"Sonavex Applications\"");
  EXPECT_FALSE(run.values[0].after);
  EXPECT_EQ(run.values[1].before, "\"Radio Quality\"");
  EXPECT_EQ(run.values[1].after, "\"CD Quality\"");
  const lab::RegKeyChange& added = changes.back();
  EXPECT_EQ(added.kind, lab::RegKeyChange::Kind::Added);
  EXPECT_EQ(added.path, "HKEY_USERS\\.DEFAULT\\InstallLocationsMRU");
  ASSERT_EQ(added.values.size(), 1u);
  EXPECT_EQ(added.values[0].name, "\"b\"");
  EXPECT_EQ(added.values[0].after, "\"C:\\\\PROGRA~1\\\\ORVANTA\\\\WIN_9X\\\\\"");
}

TEST(RegistryDiff, ItsTextTurnsTheFirstRegistryIntoTheSecond) {
  sim::SimMachine machine;
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(kBefore, error)) << error;
  const std::string after = After();
  const std::string patch =
      lab::RegistryDiffText(lab::DiffRegistry(machine.Registry().Export(), after));
  EXPECT_EQ(patch.rfind("REGEDIT4\n", 0), 0u);
  ASSERT_TRUE(machine.Registry().Import(patch, error)) << error << "\n" << patch;
  EXPECT_EQ(machine.Registry().Export(), after) << patch;
  EXPECT_TRUE(lab::DiffRegistry(machine.Registry().Export(), after).empty());
}

TEST(RegistryDiff, NoChangeGivesNoKey) {
  EXPECT_TRUE(lab::DiffRegistry(kBefore, kBefore).empty());
  EXPECT_EQ(lab::RegistryDiffText({}), "REGEDIT4\n");
}

}  // namespace
