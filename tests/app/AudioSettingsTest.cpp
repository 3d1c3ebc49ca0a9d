// The four audio adjustments of start-up, each on its own.
#include <gtest/gtest.h>

#include "app/AudioSettings.h"
#include "platform/sim/SimMachine.h"

namespace {

using sim::SimMachine;
using sim::WindowsVersion;

constexpr const char* kUserAudio = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultAudio =
    "HKEY_USERS\\.Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kSchemeDefault =
    "HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Default";
constexpr const char* kSchemeCurrent =
    "HKEY_USERS\\.DEFAULT\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
constexpr const char* kUserCurrent =
    "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";

std::vector<std::uint8_t> Text(const std::string& text, bool zero = true) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  if (zero) {
    bytes.push_back(0);
  }
  return bytes;
}

class AudioSettings : public ::testing::Test {
 protected:
  explicit AudioSettings(WindowsVersion version = WindowsVersion::WinXP) : machine(version) {}

  void SetValue(const std::string& key, const std::string& name, std::uint32_t type,
                std::vector<std::uint8_t> data) {
    sim::RegNode* node = machine.Registry().EnsureKey(key);
    node->values.push_back(sim::RegValue{name, type, std::move(data)});
  }
  const sim::RegValue* Value(const std::string& key, const std::string& name) {
    return machine.Registry().FindValue(key, name);
  }
  void Apply(int isNT4 = 0) {
    app::InstallContext context;
    context.isNT4 = isNT4;
    app::ApplyAudioSettings(machine.Platform(), "C:\\DISC\\setup.ini", context);
  }

  SimMachine machine;
};

TEST_F(AudioSettings, CdAudioModeFollowsTheOptionFile) {
  Apply();
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\OVCDPLAY.INI"),
            "[CD PLAYER]\r\nUsingCDDA=0\r\n");
  machine.Files().WriteFileDirect("C:\\DISC\\setup.ini", "[Default]\r\nUsingCDDA=7\r\n");
  machine.Files().WriteFileDirect(
      "C:\\WINDOWS\\OVCDPLAY.INI",
      "; the player's own\r\n[CD PLAYER]\r\nUsingCDDA=0\r\nVolume=80\r\n");
  Apply();
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\OVCDPLAY.INI"),
            "; the player's own\r\n[CD PLAYER]\r\nUsingCDDA=1\r\nVolume=80\r\n");
}

TEST_F(AudioSettings, TheFirstFormatWithCdBecomesTheDefault) {
  const std::string longest = std::string(1020, 'x') + ",CD";  // 1,023 and the zero: 1,024
  for (const std::string& formats : {std::string("Radio Quality,CD Quality,Telephone Quality"),
                                     std::string("Radio,Tape,Best CD"), longest}) {
    machine.Registry().EnsureKey(kDefaultAudio);
    SetValue(kUserAudio, "SystemFormats", win::REG_SZ, Text(formats));
    SetValue(kUserAudio, "DefaultFormat", win::REG_SZ, Text("Radio Quality"));
    Apply();
    std::string expected = formats.find("CD Quality") != std::string::npos ? "CD Quality"
                           : formats == longest                            ? "CD"
                                                                           : "Best CD";
    ASSERT_NE(Value(kUserAudio, "DefaultFormat"), nullptr);
    EXPECT_EQ(Value(kUserAudio, "DefaultFormat")->data, Text(expected));
    ASSERT_NE(Value(kDefaultAudio, "DefaultFormat"), nullptr);
    EXPECT_EQ(Value(kDefaultAudio, "DefaultFormat")->data, Text(expected));
    machine.Registry().EnsureKey(kUserAudio)->values.clear();
  }
}

TEST_F(AudioSettings, FormatsWithoutCdOrUnreadableLeaveTheDefaultAlone) {
  machine.Registry().EnsureKey(kDefaultAudio);
  SetValue(kUserAudio, "DefaultFormat", win::REG_SZ, Text("Radio Quality"));
  for (auto [type, data] : {std::pair{win::REG_SZ, Text("Radio Quality,cd lowercase")},
                            std::pair{win::REG_SZ, Text(std::string(1100, 'x') + ",CD")},
                            std::pair{win::REG_BINARY, std::vector<std::uint8_t>{1, 2, 3}}}) {
    machine.Registry().EnsureKey(kUserAudio)->values.resize(1);
    SetValue(kUserAudio, "SystemFormats", type, data);
    Apply();
    EXPECT_EQ(Value(kUserAudio, "DefaultFormat")->data, Text("Radio Quality"));
    EXPECT_EQ(Value(kDefaultAudio, "DefaultFormat"), nullptr);
  }
}

TEST_F(AudioSettings, AFormatListWithoutTerminatingZeroIsReadToItsEnd) {
  SetValue(kUserAudio, "SystemFormats", win::REG_SZ, Text("Radio,CD", false));
  Apply();
  EXPECT_EQ(Value(kUserAudio, "DefaultFormat")->data, Text("CD"));
}

TEST_F(AudioSettings, NtFourSkipsTheRecordingFormatOnly) {
  SetValue(kUserAudio, "SystemFormats", win::REG_SZ, Text("CD Quality"));
  SetValue("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
           "Sonavex Applications", win::REG_SZ, Text("C:\\AudioShelf.exe"));
  Apply(1);
  EXPECT_EQ(Value(kUserAudio, "DefaultFormat"), nullptr);
  EXPECT_NE(machine.Files().ReadFileDirect("C:\\WINDOWS\\OVCDPLAY.INI"), std::nullopt);
  EXPECT_EQ(Value("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                  "Sonavex Applications"),
            nullptr);
}

TEST_F(AudioSettings, AnExpandableDefaultIsWrittenExpandable) {
  const std::string sound = "%SystemRoot%\\media\\Windows XP Startup.wav";
  SetValue(kSchemeDefault, "", win::REG_SZ, Text(sound));
  SetValue(kSchemeCurrent, "", win::REG_SZ, Text(sound));
  SetValue(kUserCurrent, "", win::REG_SZ, Text(sound));
  Apply();
  for (const char* key : {kSchemeCurrent, kUserCurrent}) {
    ASSERT_NE(Value(key, ""), nullptr);
    EXPECT_EQ(Value(key, "")->type, win::REG_EXPAND_SZ) << key;
    EXPECT_EQ(Value(key, "")->data, Text(sound)) << key;
  }
}

TEST_F(AudioSettings, AChosenSoundThatExistsStays) {
  machine.Files().WriteFileDirect("C:\\WINDOWS\\Media\\tada.wav", "RIFF");
  machine.Files().WriteFileDirect("C:\\WINDOWS\\Media\\start.wav", "RIFF");
  SetValue(kSchemeDefault, "", win::REG_SZ, Text("C:\\WINDOWS\\Media\\start.wav"));
  SetValue(kSchemeCurrent, "", win::REG_SZ, Text("C:\\WINDOWS\\Media\\tada.wav"));
  // The default itself, even existing, is written again (with its type made right).
  SetValue(kUserCurrent, "", win::REG_EXPAND_SZ, Text("C:\\WINDOWS\\Media\\start.wav"));
  Apply();
  EXPECT_EQ(Value(kSchemeCurrent, "")->data, Text("C:\\WINDOWS\\Media\\tada.wav"));
  EXPECT_EQ(Value(kUserCurrent, "")->type, win::REG_SZ);
}

TEST_F(AudioSettings, WithoutADefaultAMissingSoundBecomesEmpty) {
  SetValue(kSchemeCurrent, "", win::REG_SZ, Text("C:\\gone.wav"));
  SetValue(kUserCurrent, "", win::REG_SZ, Text("C:\\gone.wav", false));
  Apply();
  for (const char* key : {kSchemeCurrent, kUserCurrent}) {
    EXPECT_EQ(Value(key, "")->type, win::REG_SZ);
    EXPECT_EQ(Value(key, "")->data, Text("")) << key;
  }
}

TEST_F(AudioSettings, EachAdjustmentStandsAlone) {
  SetValue(kUserAudio, "SystemFormats", win::REG_SZ, Text("CD Quality"));
  SetValue(kSchemeCurrent, "", win::REG_SZ, Text("C:\\gone.wav"));
  SetValue("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
           "Sonavex Applications", win::REG_SZ, Text("x"));
  machine.InjectedFaults().FailEvery(sim::Call::WritePrivateProfileStringA,
                                     win::ERROR_ACCESS_DENIED);
  machine.InjectedFaults().FailEvery(sim::Call::RegDeleteValueA, win::ERROR_ACCESS_DENIED);
  Apply();
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\OVCDPLAY.INI"), std::nullopt);
  EXPECT_EQ(Value(kUserAudio, "DefaultFormat")->data, Text("CD Quality"));
  EXPECT_NE(Value("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                  "Sonavex Applications"),
            nullptr);
  EXPECT_EQ(Value(kSchemeCurrent, "")->data, Text(""));
}

}  // namespace
