// The simulated registry: its REGEDIT4 form, the views of HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT, access rights on the NT family, deleted keys and the journal.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using platform::RegKey;
using sim::SimMachine;
using sim::WindowsVersion;

std::int32_t SetText(platform::Registry& registry, RegKey key, const std::string& name,
                     const std::string& text, std::uint32_t type = win::REG_SZ) {
  return registry.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1));
}

TEST(RegistryFile, RoundTripsEveryKindOfValue) {
  const std::string text =
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Empty]\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Values]\r\n"
      "@=\"default\"\r\n"
      "\"Quoted\"=\"say \\\"hi\\\" C:\\\\path\"\r\n"
      "\"Number\"=dword:0000000c\r\n"
      "\"Expand\"=hex(2):25,00\r\n"
      "\"Multi\"=hex(7):61,00,62,00,00\r\n"
      "\"Binary\"=hex:01,ff\r\n"
      "\"NoZero\"=hex(1):61,62\r\n\r\n";
  SimMachine machine;
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(text, error)) << error;
  const sim::RegValue* quoted =
      machine.Registry().FindValue("HKLM\\SOFTWARE\\orvanta\\values", "quoted");
  ASSERT_NE(quoted, nullptr);
  EXPECT_EQ(std::string(quoted->data.begin(), quoted->data.end()),
            std::string("say \"hi\" C:\\path\0", 17));
  const sim::RegValue* noZero =
      machine.Registry().FindValue("HKLM\\Software\\Orvanta\\Values", "NoZero");
  ASSERT_NE(noZero, nullptr);
  EXPECT_EQ(noZero->type, win::REG_SZ);
  EXPECT_EQ(noZero->data, (std::vector<std::uint8_t>{'a', 'b'}));

  SimMachine again;
  ASSERT_TRUE(again.Registry().Import(machine.Registry().Export(), error)) << error;
  EXPECT_EQ(again.Registry().Export(), machine.Registry().Export());
  EXPECT_NE(again.Registry().FindKey("HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Empty"), nullptr);
}

TEST(RegistryFile, KeyLinesBelowTheLastOneLandWhereTheirPathSays) {
  SimMachine machine;
  std::string error;
  ASSERT_TRUE(
      machine.Registry().Import("REGEDIT4\r\n"
                                "[HKEY_LOCAL_MACHINE\\A\\B]\r\n"
                                "[HKEY_LOCAL_MACHINE\\A\\B\\\\C]\r\n\"c\"=\"1\"\r\n"
                                "[HKEY_LOCAL_MACHINE\\A\\B\\C\\D]\r\n"
                                "[-HKEY_LOCAL_MACHINE\\A\\B\\C\\D]\r\n"
                                "[HKEY_LOCAL_MACHINE\\A\\B\\C\\D\\E]\r\n\"e\"=\"2\"\r\n"
                                "[HKCU\\U]\r\n[HKCU\\U\\V]\r\n\"v\"=\"3\"\r\n",
                                error))
      << error;
  const sim::SimRegistry& registry = machine.Registry();
  EXPECT_NE(registry.FindValue("HKEY_LOCAL_MACHINE\\A\\B\\C", "c"), nullptr);
  // A key line below a key that was just deleted makes the key again instead of writing into
  // the deleted one.
  EXPECT_NE(registry.FindValue("HKEY_LOCAL_MACHINE\\A\\B\\C\\D\\E", "e"), nullptr);
  EXPECT_NE(registry.FindValue("HKEY_USERS\\" + registry.CurrentUser() + "\\U\\V", "v"), nullptr);
}

TEST(RegistryFile, MalformedTextIsRefusedWithItsLine) {
  SimMachine machine;
  std::string error;
  EXPECT_FALSE(machine.Registry().Import("[HKEY_LOCAL_MACHINE\\X]\r\n", error));
  EXPECT_NE(error.find("REGEDIT4"), std::string::npos);
  EXPECT_FALSE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=dword:xyz\r\n", error));
  EXPECT_NE(error.find("line 4"), std::string::npos) << error;
  EXPECT_FALSE(machine.Registry().Import("REGEDIT4\r\n[HKEY_NOWHERE\\X]\r\n", error));
  EXPECT_FALSE(machine.Registry().Import("REGEDIT4\r\n\"a\"=\"b\"\r\n", error));
  EXPECT_FALSE(machine.Registry().Import(
      "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"a\"=hex:1,2,zz\r\n", error));
}

TEST(RegistryFile, KeysTheMachineStandsOnAreNotDeleted) {
  for (const char* key : {"HKEY_LOCAL_MACHINE", "HKU", "HKEY_USERS\\.DEFAULT", "HKCU",
                          "HKEY_LOCAL_MACHINE\\Software", "HKCR"}) {
    SimMachine machine(WindowsVersion::Win98SE);
    std::string error;
    const std::string text = std::string("REGEDIT4\r\n[HKCR\\.wav]\r\n[HKCU\\Kept]\r\n[-") + key +
                             "]\r\n[HKEY_LOCAL_MACHINE\\After]\r\n";
    EXPECT_FALSE(machine.Registry().Import(text, error)) << key;
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
    EXPECT_NE(machine.Registry().FindKey("HKEY_CLASSES_ROOT\\.wav"), nullptr) << key;
    EXPECT_NE(machine.Registry().FindKey("HKEY_CURRENT_USER\\Kept"), nullptr) << key;
    EXPECT_EQ(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\After"), nullptr) << key;
  }
  // Below them, and beside them, keys go as the text says.
  SimMachine machine(WindowsVersion::Win98SE);
  std::string error;
  ASSERT_TRUE(
      machine.Registry().Import("REGEDIT4\r\n[HKCU\\Software\\Old]\r\n[HKU\\Other]\r\n"
                                "[-HKCU\\Software]\r\n[-HKEY_USERS\\Other]\r\n",
                                error))
      << error;
  EXPECT_EQ(machine.Registry().FindKey("HKEY_CURRENT_USER\\Software"), nullptr);
  EXPECT_EQ(machine.Registry().FindKey("HKEY_USERS\\Other"), nullptr);
  // A key line spelled with a trailing or doubled backslash deletes the key it names.
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n[HKLM\\A\\B]\r\n[HKLM\\A\\C]\r\n[-HKLM\\A\\B\\]\r\n[-HKLM\\A\\\\C]\r\n", error))
      << error;
  EXPECT_EQ(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\A\\B"), nullptr);
  EXPECT_EQ(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\A\\C"), nullptr);
  EXPECT_NE(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\A"), nullptr);
  EXPECT_NE(machine.Registry().FindKey("HKEY_CURRENT_USER"), nullptr);
  SimMachine again;
  ASSERT_TRUE(again.Registry().Import(machine.Registry().Export(), error)) << error;
  EXPECT_EQ(again.Registry().Export(), machine.Registry().Export());
}

TEST(RegistryViews, CurrentUserIsTheDefaultUserOnNineX) {
  SimMachine machine(WindowsVersion::Win98SE);
  auto& registry = machine.Registry();
  RegKey key;
  ASSERT_EQ(registry.CreateKey(win::HKEY_CURRENT_USER, "Software\\Microsoft\\Multimedia\\Audio",
                               win::KEY_ALL_ACCESS, key),
            0);
  ASSERT_EQ(SetText(registry, key, "DefaultFormat", "CD Quality"), 0);
  registry.CloseKey(key);
  EXPECT_NE(registry.FindValue("HKEY_USERS\\.Default\\Software\\Microsoft\\Multimedia\\Audio",
                               "DefaultFormat"),
            nullptr);

  ASSERT_EQ(registry.CreateKey(win::HKEY_CLASSES_ROOT, "CLSID\\{X}", win::KEY_ALL_ACCESS, key), 0);
  registry.CloseKey(key);
  EXPECT_NE(registry.FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{X}"), nullptr);
}

TEST(RegistryViews, NtKeepsUsersApart) {
  SimMachine machine(WindowsVersion::Win2000);
  RegKey key;
  ASSERT_EQ(machine.Registry().CreateKey(win::HKEY_CURRENT_USER, "Software\\Mine",
                                         win::KEY_ALL_ACCESS, key),
            0);
  EXPECT_EQ(machine.Registry().FindKey("HKEY_USERS\\.DEFAULT\\Software\\Mine"), nullptr);
}

TEST(RegistryRights, EnforcedOnNtOnly) {
  for (WindowsVersion version : {WindowsVersion::Win98SE, WindowsVersion::WinXP}) {
    SimMachine machine(version);
    auto& registry = machine.Registry();
    machine.Registry().EnsureKey("HKEY_LOCAL_MACHINE\\Software\\Test");
    RegKey readOnly;
    ASSERT_EQ(registry.OpenKey(win::HKEY_LOCAL_MACHINE, "Software\\Test", win::KEY_READ, readOnly),
              0);
    std::int32_t result = SetText(registry, readOnly, "v", "x");
    if (version == WindowsVersion::WinXP) {
      EXPECT_EQ(result, static_cast<std::int32_t>(win::ERROR_ACCESS_DENIED));
    } else {
      EXPECT_EQ(result, 0);
    }
    registry.CloseKey(readOnly);
  }
}

TEST(RegistryHandles, AHandleToADeletedKeyFails) {
  SimMachine machine;
  auto& registry = machine.Registry();
  RegKey leaf;
  ASSERT_EQ(registry.CreateKey(win::HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_7C5A&DEV_0111\\Leaf",
                               win::KEY_ALL_ACCESS, leaf),
            0);
  ASSERT_EQ(registry.DeleteKey(win::HKEY_LOCAL_MACHINE, "Enum\\PCI\\VEN_7C5A&DEV_0111"), 0);
  EXPECT_EQ(SetText(registry, leaf, "v", "x"), static_cast<std::int32_t>(win::ERROR_KEY_DELETED));
  EXPECT_EQ(registry.CloseKey(leaf), 0);
  EXPECT_EQ(registry.OpenHandleCount(), 0u);

  // A handle can delete the key it names.
  RegKey self;
  ASSERT_EQ(registry.CreateKey(win::HKEY_LOCAL_MACHINE, "Enum\\ORV\\CHILD0000", win::KEY_ALL_ACCESS,
                               self),
            0);
  EXPECT_EQ(registry.DeleteKey(self, ""), 0);
  EXPECT_EQ(registry.FindKey("HKEY_LOCAL_MACHINE\\Enum\\ORV\\CHILD0000"), nullptr);
  EXPECT_NE(registry.FindKey("HKEY_LOCAL_MACHINE\\Enum\\ORV"), nullptr);
  registry.CloseKey(self);
  EXPECT_EQ(registry.DeleteKey(win::HKEY_LOCAL_MACHINE, ""),
            static_cast<std::int32_t>(win::ERROR_ACCESS_DENIED));
}

TEST(RegistryJournal, ChangesAreRecordedReadsAreNot) {
  SimMachine machine;
  auto& registry = machine.Registry();
  RegKey key;
  ASSERT_EQ(
      registry.CreateKey(win::HKEY_LOCAL_MACHINE, "Software\\Orvanta", win::KEY_ALL_ACCESS, key),
      0);
  ASSERT_EQ(SetText(registry, key, "Path", "C:\\PROGRA~1"), 0);
  platform::RegData data;
  registry.QueryValue(key, "Path", 260, data);
  ASSERT_EQ(registry.DeleteValue(key, "path"), 0);
  registry.CloseKey(key);
  EXPECT_EQ(testsupport::JournalTexts(machine, "registry"),
            (std::vector<std::string>{
                // The existing key keeps its own spelling.
                "create key HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvanta",
                "set HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvanta \"Path\" = REG_SZ \"C:\\PROGRA~1\"",
                "delete value HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvanta \"Path\""}));
}

}  // namespace
