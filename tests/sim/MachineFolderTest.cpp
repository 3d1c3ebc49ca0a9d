// Machine folders: the samples load, broken folders are refused without a byte written, and a
// saved machine loads back as it was left.
#include <gtest/gtest.h>

#include <map>

#include "platform/sim/MachineFolder.h"
#include "tests/HostFiles.h"

namespace fs = std::filesystem;

namespace {

const fs::path kExamples = fs::path(ORV_SOURCE_DIR) / "examples";

// Every file below a folder with its content, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), folder).string()] = testsupport::ReadText(entry.path());
    }
  }
  return files;
}

using testsupport::WriteText;

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("orv-machine") {}
};

TEST(MachineFolder, EverySampleMachineLoads) {
  const std::map<std::string, std::uint32_t> builds{
      {"win95", 0x040003B6}, {"win98", 0x040A07CE}, {"win98se", 0x040A08AE}, {"winme", 0x045A0BB8},
      {"nt4", 1381},         {"win2000", 2195},     {"winxp", 2600}};
  for (const auto& [name, build] : builds) {
    std::string error;
    auto machine = sim::LoadMachineFolder(kExamples / "machines" / name, error);
    ASSERT_TRUE(machine) << name << ": " << error;
    EXPECT_EQ(machine->Core().version.buildNumber, build) << name;
    EXPECT_TRUE(machine->Journal().empty());
    ASSERT_TRUE(sim::MapHostFolder(*machine, 'D', kExamples / "disc", true, error)) << error;
    EXPECT_EQ(machine->Files().GetAttributes("D:\\setup.ini"), win::FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(machine->Registry().FindKey(
                  "HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current"),
              nullptr)
        << name;
  }
}

TEST(MachineFolder, BrokenFoldersAreRefusedAndLeftAlone) {
  TempFolder temp;
  const fs::path folder = temp.path() / "machine";
  std::string error;
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("no machine folder"), std::string::npos);

  fs::create_directories(folder / "drive_c");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("machine.ini"), std::string::npos);

  WriteText(folder / "machine.ini", "[Windows]\r\nVersion=3.11\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("3.11"), std::string::npos);

  WriteText(folder / "machine.ini", "[Windows]\r\nVersion=98SE\r\n[Drives]\r\nCD=drive_c\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("CD"), std::string::npos);

  WriteText(folder / "machine.ini", "[Windows]\r\nVersion=98SE\r\n[Drives]\r\nC=absent\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));

  WriteText(folder / "machine.ini", std::string("\x00\xff\r\n[Windows]\r\nVersion=98SE\r\n", 25));
  WriteText(folder / "registry.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\X]\r\n\"v\"=hex:zz\r\n");
  auto before = Snapshot(folder);
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("registry.reg, line 3"), std::string::npos) << error;

  fs::rename(folder / "registry.reg", folder / "registry.old");
  fs::create_directories(folder / "registry.reg");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("cannot read registry.reg"), std::string::npos) << error;
  fs::remove(folder / "registry.reg");
  fs::rename(folder / "registry.old", folder / "registry.reg");

  WriteText(folder / "registry.reg", "REGEDIT4\r\n");
  WriteText(folder / "files.txt", "0x01\t\tC:\\absent.txt\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("files.txt line 1"), std::string::npos) << error;

  WriteText(folder / "files.txt", "");
  WriteText(folder / "drive_c" / "bad?name.txt", "x");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("bad?name.txt"), std::string::npos) << error;
  fs::remove(folder / "drive_c" / "bad?name.txt");

  WriteText(folder / "drive_c" / std::string(130, 'd') / std::string(130, 'e') / "x.txt", "x");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("259"), std::string::npos) << error;
  fs::remove_all(folder / "drive_c" / std::string(130, 'd'));

  before.erase("registry.reg");
  before.erase("files.txt");
  before["registry.reg"] = "REGEDIT4\r\n";
  before["files.txt"] = "";
  EXPECT_EQ(Snapshot(folder), before);
  EXPECT_TRUE(sim::LoadMachineFolder(folder, error)) << error;
}

TEST(MachineFolder, MixersAndDriverLibrariesAreSetUpOrRefusedClearly) {
  TempFolder temp;
  const fs::path folder = temp.path() / "nt4";
  fs::create_directories(folder / "drive_c" / "WINNT" / "system32");
  WriteText(folder / "drive_c" / "WINNT" / "system32" / "ov-pci.dll", "MZ");
  WriteText(folder / "drive_c" / "WINNT" / "system32" / "other.dll", "MZ");
  const std::string head = "[Windows]\r\nVersion=NT4\r\n";
  WriteText(folder / "machine.ini",
            head + "[Mixers]\r\n0=Orvanta PCI Mixer\r\n1=" + std::string(32, 'x') +
                "\r\n[DriverLibraries]\r\nov-pci.dll=NoConfigure\r\n"
                "C:\\WINNT\\system32\\other.dll=refuses\r\n");
  std::string error;
  auto machine = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(machine) << error;
  platform::Multimedia& multimedia = machine->Platform().multimedia;
  ASSERT_EQ(multimedia.MixerCount(), 2u);
  std::string name;
  ASSERT_TRUE(multimedia.MixerProductName(1, name));
  EXPECT_EQ(name, std::string(32, 'x'));
  platform::DriverHandle driver = multimedia.OpenDriver("C:\\WINNT\\system32\\ov-pci.dll");
  ASSERT_FALSE(driver.IsNull());
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 0);
  multimedia.CloseDriver(driver);
  EXPECT_TRUE(multimedia.OpenDriver("C:\\WINNT\\system32\\other.dll").IsNull());

  WriteText(folder / "machine.ini", head + "[Mixers]\r\n0=" + std::string(33, 'x') + "\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("32 characters"), std::string::npos) << error;
  WriteText(folder / "machine.ini", head + "[DriverLibraries]\r\nov-pci.dll=maybe\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder, error));
  EXPECT_NE(error.find("\"maybe\" is not configure, noconfigure or refuses"), std::string::npos)
      << error;
}

TEST(MachineFolder, ASavedMachineLoadsBackAsItWasLeft) {
  TempFolder temp;
  const fs::path folder = temp.path() / "win98se";
  fs::copy(kExamples / "machines" / "win98se", folder, fs::copy_options::recursive);
  std::string error;
  auto machine = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(machine) << error;
  auto& files = machine->Files();
  ASSERT_TRUE(files.CreateFolder("C:\\Program Files\\Orvanta\\WIN_9x"));
  ASSERT_TRUE(machine->Platform().profiles.WriteString(
      "InstallOption", "WebSetup", "2", "C:\\Program Files\\Orvanta\\WIN_9x\\Setup.ini"));
  ASSERT_TRUE(files.SetAttributes("C:\\WINDOWS\\WIN.INI", win::FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(
      files.SetAttributes("C:\\WINDOWS\\OPTIONS\\CABS\\README.TXT", win::FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(files.DeleteFile("C:\\WINDOWS\\OPTIONS\\CABS\\README.TXT"));
  platform::RegKey run;
  ASSERT_EQ(machine->Registry().OpenKey(win::HKEY_LOCAL_MACHINE,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                        win::KEY_ALL_ACCESS, run),
            0);
  ASSERT_EQ(machine->Registry().DeleteValue(run, "Sonavex Applications"), 0);
  machine->Registry().CloseKey(run);
  ASSERT_TRUE(sim::SaveMachineFolder(*machine, folder, error)) << error;

  EXPECT_FALSE(fs::exists(folder / "drive_c" / "WINDOWS" / "OPTIONS" / "CABS" / "README.TXT"));
  auto again = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(again->Platform().profiles.GetString("InstallOption", "WebSetup", "", 260,
                                                 "C:\\PROGRA~1\\ORVANTA\\WIN_9X\\SETUP.INI"),
            "2");
  EXPECT_EQ(again->Files().GetAttributes("C:\\WINDOWS\\WIN.INI"), win::FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(again->Registry().FindValue(
                "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                "Sonavex Applications"),
            nullptr);
  EXPECT_NE(
      again->Registry().FindValue(
          "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "SystemTray"),
      nullptr);
  ASSERT_EQ(again->Processes().Windows().size(), 1u);
  EXPECT_EQ(again->Processes().Windows()[0].title, "AudioShelf");
}

TEST(MachineFolder, DrivesSpelledAnyWayMapTheirFilesUnderTheirRoot) {
  TempFolder temp;
  const fs::path folder = temp.path() / "machine";
  fs::create_directories(folder / "drive_c");
  fs::create_directories(folder / "empty");
  WriteText(folder / "disc" / "Sub" / "a.txt", "a");
  fs::create_directory_symlink(folder / "disc", folder / "disc-link");
  WriteText(folder / "machine.ini",
            "[Windows]\r\nVersion=XP\r\n[Drives]\r\nC=./drive_c/\r\n"
            "D=empty/../disc/, readonly\r\nE=disc-link\r\nF=" +
                (folder / "disc").string() + "\r\n");
  std::string error;
  auto machine = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(machine) << error;
  for (const char* path : {"D:\\Sub\\a.txt", "E:\\Sub\\a.txt", "F:\\Sub\\a.txt"}) {
    EXPECT_EQ(machine->Files().ReadFileDirect(path), "a") << path;
  }
  EXPECT_EQ(machine->Files().GetAttributes("D:\\Sub"), win::FILE_ATTRIBUTE_DIRECTORY);
}

TEST(MachineFolder, SharesMapHostFoldersAndWritableOnesAreSaved) {
  TempFolder temp;
  const fs::path folder = temp.path() / "machine";
  fs::create_directories(folder / "drive_c");
  WriteText(folder / "share_drivers" / "Audio" / "setup.ini", "[Setup]\r\n");
  WriteText(folder / "disc" / "SETUP.EXE", "MZ");
  WriteText(folder / "machine.ini",
            "[Windows]\r\nVersion=XP\r\n[Shares]\r\n\\\\FileSrv\\Drivers=share_drivers\r\n"
            "\\\\FileSrv\\CD=disc, readonly\r\n");
  std::string error;
  auto machine = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(machine) << error;
  auto& files = machine->Files();
  EXPECT_EQ(files.GetAttributes("\\\\filesrv\\drivers\\audio\\SETUP.INI"),
            win::FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(files.GetAttributes("\\\\FileSrv\\CD\\setup.exe"), win::FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(files.IsReadOnlyMedia("\\\\FileSrv\\CD"));
  ASSERT_TRUE(files.CreateFolder("\\\\FileSrv\\Drivers\\Logs"));
  ASSERT_TRUE(machine->Platform().profiles.WriteString("Run", "Done", "1",
                                                       "\\\\FileSrv\\Drivers\\Logs\\run.ini"));
  ASSERT_TRUE(sim::SaveMachineFolder(*machine, folder, error)) << error;
  EXPECT_TRUE(fs::exists(folder / "share_drivers" / "Logs" / "run.ini"));
  EXPECT_TRUE(fs::exists(folder / "share_drivers" / "Audio" / "setup.ini"));
  EXPECT_EQ(Snapshot(folder / "disc"), (std::map<std::string, std::string>{{"SETUP.EXE", "MZ"}}));
  auto again = sim::LoadMachineFolder(folder, error);
  ASSERT_TRUE(again) << error;
  EXPECT_EQ(again->Files().ReadFileDirect("\\\\FileSrv\\Drivers\\Logs\\run.ini"),
            "[Run]\r\nDone=1\r\n");

  // A share of a lab tool run, mapped from any folder.
  ASSERT_TRUE(sim::MapHostFolder(*again, "\\\\Lab\\Disc", folder / "disc", true, error)) << error;
  EXPECT_EQ(again->Files().GetAttributes("\\\\LAB\\DISC\\SETUP.EXE"), win::FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(sim::MapHostFolder(*again, "q:", folder / "disc", false, error)) << error;
  EXPECT_EQ(again->Files().GetAttributes("Q:\\SETUP.EXE"), win::FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(sim::MapHostFolder(*again, "\\\\Lab", folder / "disc", true, error));
  EXPECT_NE(error.find("\\\\Lab"), std::string::npos) << error;
  EXPECT_FALSE(sim::MapHostFolder(*again, "QQ", folder / "disc", true, error));

  for (const char* key : {"\\\\FileSrv", "\\\\FileSrv\\CD\\Sub", "FileSrv\\CD"}) {
    WriteText(folder / "machine.ini",
              std::string("[Windows]\r\nVersion=XP\r\n[Shares]\r\n") + key + "=disc\r\n");
    EXPECT_FALSE(sim::LoadMachineFolder(folder, error)) << key;
    EXPECT_NE(error.find("[Shares] entry \"" + std::string(key) + "\""), std::string::npos)
        << error;
  }
}

}  // namespace

namespace {

TEST(MachineFolder, FilesHeldOpenRefuseDeletionUntilTheRestart) {
  TempFolder folder;
  WriteText(
      folder.path() / "machine.ini",
      "[Windows]\r\nVersion=98SE\r\n[OpenFiles]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD=Windows\r\n"
      "[RunningWindows]\r\nMixer=C:\\WINDOWS\\Mixer.exe\r\n");
  WriteText(folder.path() / "drive_c" / "WINDOWS" / "SYSTEM" / "OVAUDIO.VXD", "driver");
  WriteText(folder.path() / "drive_c" / "WINDOWS" / "Mixer.exe", "MZ");
  std::string error;
  auto machine = sim::LoadMachineFolder(folder.path(), error);
  ASSERT_TRUE(machine) << error;
  platform::Files& files = machine->Platform().files;
  EXPECT_FALSE(files.DeleteFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD"));
  EXPECT_EQ(machine->GetLastError(), win::ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(files.DeleteFile("C:\\WINDOWS\\Mixer.exe"));  // the running program's own file
  machine->Restart();
  EXPECT_TRUE(files.DeleteFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD"));
  EXPECT_TRUE(files.DeleteFile("C:\\WINDOWS\\Mixer.exe"));

  WriteText(folder.path() / "machine.ini",
            "[Windows]\r\nVersion=98SE\r\n[OpenFiles]\r\nC:\\ABSENT.VXD=Windows\r\n");
  EXPECT_FALSE(sim::LoadMachineFolder(folder.path(), error));
  EXPECT_NE(error.find("C:\\ABSENT.VXD"), std::string::npos) << error;
}

}  // namespace
