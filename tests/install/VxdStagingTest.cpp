// The VxD driver staged from the disc: the driver folder for each version, the INF copies and
// their source disk, the setup source folder, the tray, the mixer, and what earlier drivers
// left, removed before.
#include "install/VxdStaging.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

using sim::WindowsVersion;

constexpr const char* kStaging = "C:\\Program Files\\Orvanta\\WIN_9x\\";
constexpr const char* kShortStaging = "C:\\PROGRA~1\\ORVANTA\\WIN_9X";
constexpr const char* kSetupKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup";

std::string Inf(const std::string& disk) {
  return "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[SourceDisksNames]\r\n1=" + disk +
         "\r\n[Strings]\r\nVSX-Legacy.DeviceDesc=\"ORV6490 Legacy Audio\"\r\n";
}

class VxdStaging : public InstallTest {
 protected:
  explicit VxdStaging(WindowsVersion version = WindowsVersion::Win98) : InstallTest(version) {
    detection.chipVendorId = 0x7C5A;
    detection.chipDeviceId = 0x0111;
    Disc("Setup.exe", "launcher");
    Disc("setup.ini", "[InstallOption]\r\nWebSetup=0\r\nInstallWDMDriver=1\r\n");
  }
  void Stage() { install::StageVxdDriver(session); }
  std::string Get(const std::string& file, const std::string& section, const std::string& key) {
    return machine.Platform().profiles.GetString(section, key, "<none>", 1024, file);
  }
  void Import(const std::string& body) {
    std::string error;
    ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n" + body, error)) << error;
  }
  std::string Value(const std::string& key, const std::string& name) {
    const sim::RegValue* value = machine.Registry().FindValue(key, name);
    return value == nullptr ? "<none>" : std::string(value->data.begin(), value->data.end());
  }
};

TEST_F(VxdStaging, TheDriverFolderOfEachFamily) {
  Disc("W95-98\\drv\\95\\ovaudio.vxd", "95");
  Disc("W95-98\\drv\\98\\ovaudio.vxd", "98");
  Disc("WIN_9x\\drv\\98\\ovaudio.vxd", "second family");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "98");
}

class VxdStagingOn95 : public VxdStaging {
 protected:
  VxdStagingOn95() : VxdStaging(WindowsVersion::Win95) {}
};

TEST_F(VxdStagingOn95, Windows95HasItsOwnFolderAndFallsBackToDrv) {
  Disc("W95-98\\drv\\95\\ovaudio.vxd", "95");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "95");

  machine.Files().RemoveDirect("D:\\W95-98\\drv\\95");
  Disc("W95-98\\drv\\common.vxd", "drv");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "common.vxd"), "drv");
}

TEST_F(VxdStaging, TheOtherFoldersInTurn) {
  Disc("WIN_9x\\drv\\ovaudio.vxd", "win_9x");
  Disc("Driver\\VxD\\ovaudio.vxd", "driver");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "win_9x");
  machine.Files().RemoveDirect("D:\\WIN_9x");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "driver");
  machine.Files().RemoveDirect("D:\\Driver");
  Disc("root.vxd", "disc");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "root.vxd"), "disc");
}

TEST_F(VxdStaging, InfCopiesPointAtTheStagingFolderUnderTheirLabel) {
  Disc("Driver\\VxD\\ov6490.inf", Inf("\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000"));
  Disc("Driver\\VxD\\ovcodec.INF", Inf("\"ORV5970 Driver\",,0000-0000"));
  Disc("Driver\\VxD\\both.inf", Inf("\"ORV5970 and ORV6490/Y3DX\""));
  Disc("Driver\\VxD\\other.inf", Inf("\"Other\""));
  Disc("Driver\\VxD\\nodisk.inf", "[Version]\r\nSignature=x\r\n");
  Disc("Driver\\VxD\\mixed.Inf", Inf("\"Other\""));
  Stage();
  const std::string tail = std::string(",,0000-0000, ") + kShortStaging;
  for (const std::string folder : {"INF\\", "INF\\OTHER\\"}) {
    EXPECT_EQ(Get(windows + folder + "ov6490.inf", "SourceDisksNames", "1"),
              "\"ORV6490/Y3DX Sonavex Driver Disk\"" + tail);
    EXPECT_EQ(Get(windows + folder + "ovcodec.INF", "SourceDisksNames", "1"),
              "\"ORV5970 WIN95 Driver Disk\"" + tail);
    EXPECT_EQ(Get(windows + folder + "both.inf", "SourceDisksNames", "1"),
              "\"ORV6490/Y3DX Sonavex Driver Disk\"" + tail);
    EXPECT_EQ(Get(windows + folder + "other.inf", "SourceDisksNames", "1"),
              "\"ORV6490/Y3DX Sonavex Driver Disk\"" + tail);
    EXPECT_EQ(Read(windows + folder + "nodisk.inf"), "[Version]\r\nSignature=x\r\n");
    EXPECT_FALSE(Exists(windows + folder + "mixed.Inf"));
  }
  EXPECT_EQ(Read(std::string(kStaging) + "ov6490.inf"),
            Inf("\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000"));
  EXPECT_TRUE(Exists(std::string(kStaging) + "mixed.Inf"));
}

TEST_F(VxdStaging, TheLauncherIsStagedToInstallTheVxdDriver) {
  Disc("Dosdrv\\DOSAPP\\mixer.exe", "dos");
  Stage();
  EXPECT_EQ(Read("C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\mixer.exe"), "dos");
  EXPECT_TRUE(Exists(windows + "INF\\CATALOG"));
  EXPECT_EQ(Read(std::string(kStaging) + "Setup.exe"), "launcher");
  EXPECT_EQ(Get(std::string(kStaging) + "Setup.ini", "InstallOption", "WebSetup"), "2");
  EXPECT_EQ(Get(std::string(kStaging) + "Setup.ini", "InstallOption", "DriverOnly"), "1");
  EXPECT_EQ(Get(std::string(kStaging) + "Setup.ini", "InstallOption", "InstallWDMDriver"), "0");
  EXPECT_EQ(Value("HKEY_USERS\\.DEFAULT\\InstallLocationsMRU", "a"), "<none>");  // no key
  EXPECT_FALSE(Exists(windows + "mixerdef.ini"));
  EXPECT_FALSE(Exists(windows + "SYSTEM\\Precopy"));  // Windows 98 SE's only

  // A disc without an option file: the staged one has the four values, in this order.
  machine.Files().RemoveDirect("D:\\setup.ini");
  machine.Files().RemoveDirect(std::string(kStaging) + "Setup.ini");
  machine.Registry().EnsureKey("HKEY_USERS\\.DEFAULT\\InstallLocationsMRU");
  Stage();
  EXPECT_EQ(
      Read(std::string(kStaging) + "Setup.ini"),
      "[InstallOption]\r\nWebSetup=2\r\nFullPackage=0\r\nDriverOnly=1\r\nInstallWDMDriver=0\r\n");
  EXPECT_EQ(Value("HKEY_USERS\\.DEFAULT\\InstallLocationsMRU", "a"),
            std::string(kShortStaging) + "\\" + '\0');
}

TEST_F(VxdStaging, AnUnreachableSetupSourceIsForgotten) {
  Import(std::string("[") + kSetupKey + "]\r\n\"SourcePath\"=\"C:\\\\Gone\"\r\n");
  Disc("Driver\\VxD\\ovaudio.vxd", "driver");
  Stage();
  EXPECT_EQ(Value(kSetupKey, "SourcePath"), std::string(1, '\0'));
  EXPECT_FALSE(Exists("C:\\Gone"));
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "driver");
}

TEST_F(VxdStaging, TheSetupSourceTakesDriverFilesUntilItFails) {
  machine.Files().MakeFoldersDirect("C:\\WINDOWS\\OPTIONS\\CABS");
  Import(std::string("[") + kSetupKey +
         "]\r\n\"SourcePath\"=\"C:\\\\WINDOWS\\\\OPTIONS\\\\CABS\"\r\n");
  Disc("Driver\\VxD\\a.vxd", "a");
  Disc("Driver\\VxD\\b.vxd", "b");
  Disc("Driver\\VxD\\c.vxd", "c");
  Disc("Driver\\VxD\\OVSETUP.INF", Inf("\"x\""));
  machine.Files().WriteFileDirect("C:\\WINDOWS\\OPTIONS\\CABS\\b.vxd", "old");
  machine.Files().SetInUse("C:\\WINDOWS\\OPTIONS\\CABS\\b.vxd", true);
  Stage();
  EXPECT_EQ(Read("C:\\WINDOWS\\OPTIONS\\CABS\\a.vxd"), "a");
  EXPECT_EQ(Read(windows + "INF\\OTHER\\b.vxd"), "b");
  EXPECT_FALSE(Exists("C:\\WINDOWS\\OPTIONS\\CABS\\c.vxd"));
  EXPECT_FALSE(Exists("C:\\WINDOWS\\OPTIONS\\CABS\\OVSETUP.INF"));
  EXPECT_TRUE(Exists(windows + "INF\\OVSETUP.INF"));
}

TEST_F(VxdStaging, TheMixerClosesAndTheTrayShowsTheRightVolumeControl) {
  machine.Processes().AddRunningWindow("Mixer", "C:\\WINDOWS\\Mixer.exe");
  machine.Files().WriteFileDirect(windows + "Mixer.exe", "MZ", win::FILE_ATTRIBUTE_READONLY);
  machine.Files().WriteFileDirect(windows + "SYSTEM\\SysTray.exe", "MZ");
  machine.Files().WriteFileDirect(windows + "mixerdef.ini", "[RUNTIME]\r\nInitialize=1\r\n");
  // A machine with user profiles: the user's key and the default user's differ.
  machine.Registry().SetCurrentUser("Anna");
  Import(
      "[HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
      "\"Services\"=hex:1f,01,00,00\r\n"
      "[HKEY_USERS\\Anna\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
      "\"Services\"=hex:05,02\r\n");
  Stage();
  EXPECT_EQ(
      Value("HKEY_USERS\\Anna\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray",
            "Services"),
      std::string("\x01\x02\x00\x00", 4));  // two bytes read, four written
  EXPECT_TRUE(machine.Processes().Windows().empty());
  EXPECT_FALSE(Exists(windows + "Mixer.exe"));
  EXPECT_EQ(Journal("wait"), (std::vector<std::string>{"1000 ms", "500 ms"}));
  EXPECT_EQ(Value("HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\"
                  "Systray",
                  "Services"),
            std::string("\x1b\x01\x00\x00", 4));  // bit 4 cleared, the others kept
  EXPECT_EQ(Started().back(), "SysTray.exe");     // after the mixer that was running
  // The tray reads its volume setting as it starts: every write of it comes first.
  const std::vector<std::string> lines = testsupport::JournalLines(machine);
  std::size_t lastWrite = 0, start = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].find("Systray \"Services\"") != std::string::npos) {
      lastWrite = i;
    } else if (start == lines.size() && lines[i].find("\"SysTray.exe\"") != std::string::npos) {
      start = i;
    }
  }
  EXPECT_LT(lastWrite, start);
  EXPECT_EQ(Get(windows + "mixerdef.ini", "RUNTIME", "Initialize"), "0");

  detection.udaMode = 1;
  Stage();
  EXPECT_EQ(Value("HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\"
                  "Systray",
                  "Services"),
            std::string("\x1f\x01\x00\x00", 4));
}

TEST_F(VxdStaging, EarlierDriversAreRemovedFirst) {
  machine.Registry().EnsureKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_0");
  machine.Registry().EnsureKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_2445&SUBSYS_0");
  machine.Files().WriteFileDirect(windows + "INF\\OTHER\\Old.inf", Inf("\"old\""));
  machine.Files().WriteFileDirect(windows + "SYSTEM\\OVAUDIO.VXD", "old driver");
  machine.Files().SetInUse(windows + "SYSTEM\\OVAUDIO.VXD", true);
  Disc("Driver\\VxD\\OVAUDIO.VXD", "new driver");
  Stage();
  EXPECT_EQ(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_0"),
            nullptr);
  EXPECT_NE(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_2445&SUBSYS_0"),
            nullptr);
  EXPECT_FALSE(Exists(windows + "INF\\OTHER\\Old.inf"));

  // The codec behind an Intel controller: that controller's key goes instead.
  detection.chipVendorId = 0x8086;
  detection.chipDeviceId = 0x2445;
  Stage();
  EXPECT_EQ(machine.Registry().FindKey("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_2445&SUBSYS_0"),
            nullptr);

  // At the next start the old driver file in use makes way.
  machine.Restart();
  EXPECT_EQ(Read(windows + "SYSTEM\\OVAUDIO.OLD"), "old driver");
  EXPECT_FALSE(Exists(windows + "SYSTEM\\OVAUDIO.VXD"));
}

class VxdStagingOn98SE : public VxdStaging {
 protected:
  VxdStagingOn98SE() : VxdStaging(WindowsVersion::Win98SE) {}
};

TEST_F(VxdStagingOn98SE, ThePrecopyFolderIsFilled) {
  machine.Files().MakeFoldersDirect("C:\\WINDOWS\\OPTIONS\\CABS");
  Import(std::string("[") + kSetupKey +
         "]\r\n\"SourcePath\"=\"C:\\\\WINDOWS\\\\OPTIONS\\\\CABS\"\r\n");
  machine.Files().WriteFileDirect(windows + "SYSTEM\\Precopy\\kept.vxd", "earlier");
  machine.Files().WriteFileDirect(windows + "SYSTEM\\ksuser.dll", "ks");
  // The setup source keeps an older file that is in use: Precopy takes that one.
  machine.Files().WriteFileDirect("C:\\WINDOWS\\OPTIONS\\CABS\\ovaudio.vxd", "older");
  machine.Files().SetInUse("C:\\WINDOWS\\OPTIONS\\CABS\\ovaudio.vxd", true);
  Disc("Driver\\VxD\\kept.vxd", "new");
  Disc("Driver\\VxD\\ovaudio.vxd", "driver");
  Disc("Driver\\VxD\\OvSetup.inf", Inf("\"x\""));
  Stage();
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\ovaudio.vxd"), "older");
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\kept.vxd"), "earlier");  // not overwritten
  EXPECT_FALSE(Exists(windows + "SYSTEM\\Precopy\\OvSetup.inf"));
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\ksuser.dll"), "ks");
  EXPECT_EQ(Read(std::string(kStaging) + "ksuser.dll"), "ks");
}

TEST_F(VxdStagingOn98SE, ThePrecopyFolderIsMadeBeforeItsCopies) {
  Disc("Driver\\VxD\\ovaudio.vxd", "driver");
  Stage();
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\ovaudio.vxd"), "driver");  // from the disc

  // A file where the folder should be stays as it is; the staging goes on.
  machine.Files().RemoveDirect(windows + "SYSTEM\\Precopy");
  machine.Files().WriteFileDirect(windows + "SYSTEM\\Precopy", "a file");
  Stage();
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy"), "a file");
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.vxd"), "driver");
}

}  // namespace
}  // namespace installtest
