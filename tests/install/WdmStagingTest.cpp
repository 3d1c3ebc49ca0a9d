// The WDM driver staged from the disc: where the driver files come from, which INF copies the
// Windows INF folders get and where they point, the setup source folder, the recent install
// locations and the state file.
#include "install/StateFile.h"
#include "install/WdmStaging.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

using sim::WindowsVersion;

constexpr const char* kStaging = "C:\\Program Files\\Orvanta\\WIN_ME\\";
constexpr const char* kShortStaging = "C:\\PROGRA~1\\ORVANTA\\WIN_ME";
constexpr const char* kSetupKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
constexpr const char* kLocations = "HKEY_USERS\\.DEFAULT\\InstallLocationsMRU";

const char kInf[] =
    "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n"
    "200=\"Orvanta WDM Audio Driver Disk\",,,\r\n\r\n[SourceDisksFiles]\r\novaudio.sys=200\r\n";

class WdmStaging : public InstallTest {
 protected:
  explicit WdmStaging(WindowsVersion version = WindowsVersion::Win98SE) : InstallTest(version) {
    Disc("Setup.exe", "launcher");
    Disc("MESetup.dat", "MZ me");
    Disc("W2KSetup.dat", "MZ 2k");
    Disc("setup.ini", "[InstallOption]\r\nWebSetup=0\r\nDriverOnly=0\r\n");
  }
  void Stage(int defer = 0, int patch = 0) { install::StageWdmDriver(session, defer, patch); }
  std::string Get(const std::string& file, const std::string& section, const std::string& key) {
    return machine.Platform().profiles.GetString(section, key, "<none>", 1024, file);
  }
  std::string Value(const std::string& key, const std::string& name) {
    const sim::RegValue* value = machine.Registry().FindValue(key, name);
    if (value == nullptr) {
      return "<none>";
    }
    return std::string(value->data.begin(), value->data.end());
  }
  void SetSourcePath(const std::string& path) {
    machine.Registry().EnsureKey(kSetupKey);
    std::string error;
    ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kSetupKey) +
                                              "]\r\n\"SourcePath\"=\"" + Escaped(path) + "\"\r\n",
                                          error))
        << error;
  }
  static std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
      out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out;
  }
};

TEST_F(WdmStaging, TheVersionFolderOfTheDiscWithItsInfCopies) {
  Disc("Win_98SE\\drv\\OVAUDIO.INF", kInf);
  Disc("Win_98SE\\drv\\ovaudio.sys", "driver");
  Disc("Win_98SE\\drv\\ovaudio.cat", "catalog");
  Disc("Win_98\\drv\\other.sys", "not this one");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.sys"), "driver");
  EXPECT_FALSE(Exists(std::string(kStaging) + "other.sys"));
  EXPECT_EQ(Read(windows + "INF\\CATALOG\\ovaudio.cat"), "catalog");
  for (const std::string& inf :
       {windows + "INF\\OVAUDIO.INF", windows + "INF\\OTHER\\OVAUDIO.INF"}) {
    EXPECT_EQ(Get(inf, "SourceDisksNames", "200"),
              std::string("\"Orvanta WDM Audio Driver Disk\",,,") + kShortStaging)
        << inf;
    EXPECT_EQ(Get(inf, "SourceDisksFiles", "ovaudio.cat"), "200");
    EXPECT_EQ(Get(inf, "SourceDisksFiles", "ovaudio.sys"), "200");  // nothing else touched
    EXPECT_EQ(machine.Platform().files.GetAttributes(inf), win::FILE_ATTRIBUTE_NORMAL);
  }
  // The staged INF keeps the disc's entry.
  EXPECT_EQ(Read(std::string(kStaging) + "OVAUDIO.INF"), kInf);
}

TEST_F(WdmStaging, TheDiscsOwnFilesAndTheStagedOptionFile) {
  Disc("WDM\\ovaudio.sys");  // the driver files elsewhere on the disc
  Disc("Dosdrv\\DOSAPP\\mixer.exe", "dos");
  // A flavour answered in this run stays in the working state: the staged file takes none.
  state.Windows98SEDriver = 1;
  state.WindowsMEDriver = 0;
  Stage();
  EXPECT_EQ(Read("C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\mixer.exe"), "dos");
  EXPECT_EQ(Read(std::string(kStaging) + "Setup.exe"), "launcher");
  EXPECT_EQ(Read(std::string(kStaging) + "MESetup.dat"), "MZ me");
  EXPECT_EQ(Read(std::string(kStaging) + "W2KSetup.dat"), "MZ 2k");
  // The option file came from read-only media and still took the staged values.
  const std::string options = std::string(kStaging) + "Setup.ini";
  EXPECT_EQ(Read(options),
            "[InstallOption]\r\nWebSetup=2\r\nDriverOnly=1\r\nFullPackage=0\r\n"
            "InstallWDMDriver=1\r\n");
  EXPECT_EQ(machine.Platform().files.GetAttributes(options), win::FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WdmStaging, WithoutAnyCandidateTheDiscFolderItselfIsStaged) {
  Disc("OVAUDIO.INF", kInf);
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "OVAUDIO.INF"), kInf);
  EXPECT_TRUE(Exists(windows + "INF\\OVAUDIO.INF"));
  EXPECT_EQ(Read(std::string(kStaging) + "MESetup.dat"), "MZ me");
}

TEST_F(WdmStaging, OnlyTheParentOfTheVersionFolderIsProbed) {
  Disc("Win_98SE\\readme.txt");  // no "drv\" below it
  Disc("W2K-ME\\drv\\ovaudio.sys", "generic");
  Stage();
  EXPECT_FALSE(Exists(std::string(kStaging) + "ovaudio.sys"));
  EXPECT_FALSE(Exists(std::string(kStaging) + "readme.txt"));
}

TEST_F(WdmStaging, Windows98SEGoesOnWithTheGenericFoldersNotWindows98s) {
  Disc("Win_98\\drv\\ovaudio.sys", "98");
  Disc("W2K-ME\\drv\\ovaudio.sys", "generic");
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "ovaudio.sys"), "generic");
}

TEST_F(WdmStaging, OnlyInfNamesAsWrittenCountAsInfFiles) {
  Disc("WDM\\upper.INF", kInf);
  Disc("WDM\\lower.inf", kInf);
  Disc("WDM\\mixed.Inf", kInf);
  Stage();
  EXPECT_TRUE(Exists(windows + "INF\\upper.INF"));
  EXPECT_TRUE(Exists(windows + "INF\\OTHER\\lower.inf"));
  EXPECT_FALSE(Exists(windows + "INF\\mixed.Inf"));
  EXPECT_EQ(Read(std::string(kStaging) + "mixed.Inf"), kInf);
}

// A disc's INF may be UTF-16. Windows 9x reads its bytes and finds no disk entry among the zeros:
// the INF copies stay as the disc has them, whole, and nothing is written into them.
TEST_F(WdmStaging, AUtf16InfIsCopiedWholeAndNotPointedOnWindows9x) {
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string(kInf)) {
    utf16 += c;
    utf16 += '\0';
  }
  Disc("WDM\\wide.inf", utf16);
  Stage();
  EXPECT_EQ(Read(windows + "INF\\wide.inf"), utf16);
  EXPECT_EQ(Read(windows + "INF\\OTHER\\wide.inf"), utf16);
  EXPECT_EQ(Read(std::string(kStaging) + "wide.inf"), utf16);
}

TEST_F(WdmStaging, Disk200IsRewrittenBefore222) {
  Disc("WDM\\both.inf", "[SourceDisksNames]\r\n200=\"old\",,,\r\n222=%DiskDescription%,,,\r\n");
  Disc("WDM\\named.inf", "[SourceDisksNames]\r\n222=%DiskDescription%,,,\r\n");
  Disc("WDM\\none.inf", "[Version]\r\nSignature=x\r\n");
  Stage();
  const std::string both = windows + "INF\\both.inf";
  EXPECT_EQ(Get(both, "SourceDisksNames", "222"), "%DiskDescription%,,,");
  EXPECT_EQ(Get(both, "SourceDisksFiles", "ovaudio.cat"), "200");
  const std::string named = windows + "INF\\OTHER\\named.inf";
  EXPECT_EQ(Get(named, "SourceDisksNames", "222"),
            std::string("%DiskDescription%,,,") + kShortStaging);
  EXPECT_EQ(Get(named, "SourceDisksFiles", "ovaudio.cat"), "222");
  EXPECT_EQ(Read(windows + "INF\\none.inf"), "[Version]\r\nSignature=x\r\n");
}

TEST_F(WdmStaging, Windows98SEPointsTheSetupSourceAtPrecopyAndSavesItsFiles) {
  SetSourcePath("C:\\Gone\\Cabs");  // a folder that no longer exists
  machine.Files().WriteFileDirect(windows + "SYSTEM\\ksclockf.ax", "clock");
  machine.Files().WriteFileDirect(windows + "SYSTEM\\ksvpintf.ax", "vp");
  machine.Files().WriteFileDirect(windows + "SYSTEM\\vjoyd.vxd", "joy");
  // An INF an earlier installation left, with its disk 200 still on a disc.
  machine.Files().WriteFileDirect(windows + "INF\\OVAUDIO.INF",
                                  "[SourceDisksNames]\r\n200=\"disc\",,,\r\n");
  // Its copy in INF\OTHER names disk 222 too: read there once disk 200 is rewritten.
  machine.Files().WriteFileDirect(windows + "INF\\OTHER\\OVAUDIO.INF",
                                  "[SourceDisksNames]\r\n222=%DiskDescription%,,,\r\n");
  Stage();
  EXPECT_EQ(Value(kSetupKey, "SourcePath"), windows + "System\\Precopy" + std::string(1, '\0'));
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\ksclockf.ax"), "clock");
  EXPECT_EQ(Read(windows + "SYSTEM\\Precopy\\ksvpintf.ax"), "vp");
  EXPECT_EQ(Read(std::string(kStaging) + "ksclockf.ax"), "clock");
  EXPECT_FALSE(Exists(std::string(kStaging) + "ksvpintf.ax"));
  EXPECT_EQ(Read(std::string(kStaging) + "vjoyd.vxd"), "joy");
  for (const std::string& inf :
       {windows + "INF\\OVAUDIO.INF", windows + "INF\\OTHER\\OVAUDIO.INF"}) {
    EXPECT_EQ(Get(inf, "SourceDisksNames", "200"),
              std::string("\"Orvanta WDM Audio Driver Disk\",,,") + kShortStaging);
    EXPECT_EQ(Get(inf, "SourceDisksNames", "222"),
              std::string("%DiskDescription%,,,") + kShortStaging);
  }
  EXPECT_FALSE(Exists(windows + "INF\\OVAUDIO1.INF"));  // nothing there, nothing written
}

TEST_F(WdmStaging, TheCodecsCatalogueAndInfFiles) {
  detection.udaMode = 1;
  Disc("WDM\\ovuda.cat", "codec catalogue");
  Disc("WDM\\ovaudio.cat", "chip catalogue");
  Disc("WDM\\named.inf", "[SourceDisksNames]\r\n222=%DiskDescription%,,,\r\n");
  machine.Files().WriteFileDirect(windows + "INF\\OVAUDIO.INF", "[SourceDisksNames]\r\n200=x\r\n");
  Stage();
  EXPECT_EQ(Read(windows + "INF\\CATALOG\\ovuda.cat"), "codec catalogue");
  EXPECT_FALSE(Exists(windows + "INF\\CATALOG\\ovaudio.cat"));
  const std::string disk = std::string("%DiskDescription%,,,") + kShortStaging;
  for (const std::string folder : {"INF\\", "INF\\OTHER\\"}) {
    EXPECT_EQ(Get(windows + folder + "named.inf", "SourceDisksFiles", "ovuda.cat"), "222");
    EXPECT_EQ(Read(windows + folder + "OVUDA.INF"),
              "[SourceDisksNames]\r\n222=" + disk + "\r\n[SourceDisksFiles]\r\novuda.cat=222\r\n");
  }
  EXPECT_EQ(Read(windows + "INF\\OVAUDIO.INF"), "[SourceDisksNames]\r\n200=x\r\n");
}

TEST_F(WdmStaging, TheJackOptionsGoIntoEveryInfCopy) {
  state.jackOptions = install::JackOptions{0, 0, 0, 0, 0};
  const std::string line = "HKR,\"Settings\",\"JackConfig\",0x00010001,0x00000001";
  Disc("WDM\\jacks.inf", "[CONFIG1.AddReg]\r\n" + line + "\r\n");
  Stage(0, 1);
  for (const std::string& copy :
       {std::string(kStaging), windows + "INF\\", windows + "INF\\OTHER\\"}) {
    EXPECT_EQ(Read(copy + "jacks.inf"), "[CONFIG1.AddReg]\r\n" + line.substr(0, 48) + "0\r\n");
  }
}

class WdmStagingOn98 : public WdmStaging {
 protected:
  WdmStagingOn98() : WdmStaging(WindowsVersion::Win98) {}
};

TEST_F(WdmStagingOn98, DriverFilesAreMirroredIntoTheSetupSourceButNotSetupFiles) {
  machine.Files().MakeFoldersDirect("C:\\Cabs");
  SetSourcePath("C:\\Cabs");
  Disc("Win_98\\drv\\ovaudio.sys", "driver");
  Disc("Win_98\\drv\\OrvSetup.inf", kInf);
  Stage();
  EXPECT_EQ(Read("C:\\Cabs\\ovaudio.sys"), "driver");
  EXPECT_FALSE(Exists("C:\\Cabs\\OrvSetup.inf"));
  EXPECT_TRUE(Exists(windows + "INF\\OrvSetup.inf"));
  EXPECT_EQ(Value(kSetupKey, "SourcePath"), "C:\\Cabs" + std::string(1, '\0'));  // unchanged
}

TEST_F(WdmStagingOn98, AFailedMirrorCopyFallsBackToInfOtherOnce) {
  machine.Files().MakeFoldersDirect("C:\\Cabs");
  SetSourcePath("C:\\Cabs\\");
  Disc("Win_98\\drv\\a.sys", "a");
  Disc("Win_98\\drv\\b.sys", "b");
  Disc("Win_98\\drv\\c.sys", "c");
  machine.Files().WriteFileDirect("C:\\Cabs\\b.sys", "in use");
  machine.Files().SetInUse("C:\\Cabs\\b.sys", true);
  Stage();
  EXPECT_EQ(Read("C:\\Cabs\\a.sys"), "a");
  EXPECT_EQ(Read(windows + "INF\\OTHER\\b.sys"), "b");
  EXPECT_FALSE(Exists("C:\\Cabs\\c.sys"));
  EXPECT_FALSE(Exists(windows + "INF\\OTHER\\c.sys"));
  EXPECT_EQ(Read(std::string(kStaging) + "c.sys"), "c");
}

class WdmStagingOnNT5 : public WdmStaging, public ::testing::WithParamInterface<WindowsVersion> {
 protected:
  WdmStagingOnNT5() : WdmStaging(GetParam()) {}
};

TEST_P(WdmStagingOnNT5, NoInfCopiesAndTheirOwnVersionFolder) {
  Disc("Win_ME\\drv\\me.inf", kInf);
  Disc(
      GetParam() == WindowsVersion::WinXP ? "Win_XP\\drv\\OVAUDIO.INF" : "Win_2K\\drv\\OVAUDIO.INF",
      kInf);
  Stage();
  EXPECT_EQ(Read(std::string(kStaging) + "OVAUDIO.INF"), kInf);
  EXPECT_FALSE(Exists(std::string(kStaging) + "me.inf"));
  EXPECT_FALSE(Exists(windows + "INF\\OVAUDIO.INF"));
  EXPECT_FALSE(Exists(windows + "INF\\OTHER\\OVAUDIO.INF"));
}

INSTANTIATE_TEST_SUITE_P(Both, WdmStagingOnNT5,
                         ::testing::Values(WindowsVersion::Win2000, WindowsVersion::WinXP));

TEST_F(WdmStaging, TheRecentInstallLocations) {
  machine.Registry().EnsureKey(kLocations);
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[" + std::string(kLocations) +
          "]\r\n\"a\"=\"D:\\\\\"\r\n\"c\"=\"E:\\\\DRIVERS\\\\\"\r\n\"MRUList\"=\"ca\"\r\n",
      error));
  Stage();
  const std::string location = std::string(kShortStaging) + "\\";
  EXPECT_EQ(Value(kLocations, "b"), location + '\0');
  EXPECT_EQ(Value(kLocations, "MRUList"), std::string("bac") + '\0');
  // A second run finds it listed, in whatever case, and changes nothing.
  ASSERT_TRUE(
      machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kLocations) +
                                    "]\r\n\"b\"=\"c:\\\\progra~1\\\\orvanta\\\\win_me\\\\\"\r\n",
                                error));
  machine.Core().journal.clear();
  Stage();
  for (const std::string& line : Journal("registry")) {
    EXPECT_EQ(line.find("InstallLocationsMRU"), std::string::npos) << line;
  }
}

TEST_F(WdmStaging, AnUnreadableLocationIsAnotherFoldersNotAFreeLetter) {
  std::string error;
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kLocations) +
                                            "]\r\n\"a\"=\"D:\\\\" + std::string(300, 'x') +
                                            "\"\r\n\"MRUList\"=\"a\"\r\n",
                                        error));
  machine.InjectedFaults().FailNth(sim::Call::RegQueryValueExA, 2, win::ERROR_ACCESS_DENIED);
  Stage();
  EXPECT_EQ(Value(kLocations, "a").size(), 3 + 300 + 1u);  // the long one stays
  EXPECT_EQ(Value(kLocations, "c"), std::string(kShortStaging) + "\\" + '\0');
  EXPECT_EQ(Value(kLocations, "MRUList"), std::string("cab") + '\0');
}

TEST_F(WdmStaging, AllTwentySixLettersTakenOverwriteA) {
  std::string text = "REGEDIT4\r\n\r\n[" + std::string(kLocations) + "]\r\n";
  for (char c = 'a'; c <= 'z'; ++c) {
    text += std::string("\"") + c + "\"=\"X:\\\\" + c + "\\\\\"\r\n";
  }
  text += "\"MRUList\"=\"zyx\"\r\n";
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(text, error)) << error;
  Stage();
  EXPECT_EQ(Value(kLocations, "a"), std::string(kShortStaging) + "\\" + '\0');
  EXPECT_EQ(Value(kLocations, "MRUList"), std::string("zyx") + '\0');
}

TEST_F(WdmStaging, TheStateFileForARestartOnly) {
  Stage(0);
  EXPECT_EQ(StateFile(),
            "[Need_To_Reboot]\r\nInstall=YES\r\n[Need_To_InstallDriver]\r\nInstall=NO\r\n"
            "Command=\r\nInstallDX=NO\r\nInstallAtFirst=NO\r\n[SETUP]\r\nNeedInstallDriver=0\r\n"
            "DriverSetupFile=\r\nNeedInstallDirectX=0\r\nDirectXFilePath=\r\n");
}

TEST_F(WdmStaging, TheStateFileForTheSetupAfterTheRestart) {
  install::ResetStateFile(machine.Platform(), 0);
  state.precopyCabsPresent = 1;
  Stage(1);
  const std::string command = std::string(kShortStaging) + "\\MESetup.dat";
  EXPECT_EQ(StateFile(),
            "[Need_To_Reboot]\r\nInstall=NO\r\n[Need_To_InstallDriver]\r\n"
            "Install=YES\r\nCommand=" +
                command +
                "\r\nInstallDX=YES\r\nInstallAtFirst=YES\r\n[SETUP]\r\n"
                "NeedInstallDriver=1\r\nDriverSetupFile=" +
                command + "\r\nNeedInstallDirectX=0\r\nDirectXFilePath=\r\n");
  std::string current;
  machine.Platform().files.GetCurrentFolder(260, current);
  EXPECT_EQ(current, kShortStaging);

  // Without the cabinets the DirectX step does not come first.
  state.precopyCabsPresent = 0;
  Stage(1);
  EXPECT_EQ(Get(windows + "ORVSETUP.INI", "Need_To_InstallDriver", "InstallAtFirst"), "NO");
}

class WdmStagingOnME : public WdmStaging {
 protected:
  WdmStagingOnME() : WdmStaging(WindowsVersion::WinME) {}
};

TEST_F(WdmStagingOnME, DeferredSetupComesFirstAndNoDirectX) {
  install::ResetStateFile(machine.Platform(), 0);
  Stage(1);
  EXPECT_EQ(Get(windows + "ORVSETUP.INI", "Need_To_InstallDriver", "InstallAtFirst"), "YES");
  EXPECT_EQ(Get(windows + "ORVSETUP.INI", "Need_To_InstallDriver", "InstallDX"), "NO");
}

TEST_F(WdmStaging, TwoRunsGiveTheSameMachine) {
  Disc("Win_98SE\\drv\\OVAUDIO.INF", kInf);
  Disc("Win_98SE\\drv\\ovaudio.sys", "driver");
  machine.Registry().EnsureKey(kLocations);
  Stage();
  const std::string registry = machine.Registry().Export();
  const std::string inf = Read(windows + "INF\\OVAUDIO.INF");
  Stage();
  EXPECT_EQ(machine.Registry().Export(), registry);
  EXPECT_EQ(Read(windows + "INF\\OVAUDIO.INF"), inf);
}

TEST_F(WdmStaging, BrokenDiscsAndMachinesAreSurvived) {
  // INF files that are no INF files, a staging folder that is a file, a full disk.
  Disc("WDM\\garbage.inf", std::string("\x00\x1A\xFF[SourceDisksNames\r200", 21));
  Disc("WDM\\long.inf", "[SourceDisksNames]\r\n200=" + std::string(100000, 'x'));
  Disc("WDM\\noend.inf", "[SourceDisksNames]\r\n200=x");
  machine.Files().WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_ME", "a file");
  machine.InjectedFaults().FailNth(sim::Call::CopyFileA, 3, 112);  // ERROR_DISK_FULL
  Stage(1, 1);
  EXPECT_EQ(Read("C:\\Program Files\\Orvanta\\WIN_ME"), "a file");
  EXPECT_EQ(Get(windows + "INF\\noend.inf", "SourceDisksNames", "200"),
            std::string("\"Orvanta WDM Audio Driver Disk\",,,") + kShortStaging);
  EXPECT_EQ(Get(windows + "ORVSETUP.INI", "Need_To_InstallDriver", "Install"), "YES");
}

}  // namespace
}  // namespace installtest
