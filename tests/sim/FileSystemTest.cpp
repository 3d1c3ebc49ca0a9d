// What the simulated file system does beyond the platform contract: 8.3 names as FAT and NTFS
// make them, read-only media, files in use, path forms, searches during deletion.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using sim::SimMachine;
using sim::WindowsVersion;

std::string ShortPath(SimMachine& machine, const std::string& path) {
  std::string result;
  machine.Files().GetShortPath(path, 260, result);
  return result;
}

TEST(ShortNames, TildeNumbersAreGivenInTurnAndStayPut) {
  SimMachine machine(WindowsVersion::WinXP);
  auto& files = machine.Files();
  ASSERT_TRUE(files.CreateFolder("C:\\Program Files"));
  ASSERT_TRUE(files.CreateFolder("C:\\Program Folder"));
  EXPECT_EQ(ShortPath(machine, "C:\\Program Files"), "C:\\PROGRA~1");
  EXPECT_EQ(ShortPath(machine, "C:\\Program Folder"), "C:\\PROGRA~2");
  ASSERT_TRUE(files.MoveFile("C:\\Program Files", "C:\\Elsewhere Now", 0));
  EXPECT_EQ(ShortPath(machine, "C:\\Program Folder"), "C:\\PROGRA~2");
  ASSERT_TRUE(files.CreateFolder("C:\\Programs Again"));
  EXPECT_EQ(ShortPath(machine, "C:\\Programs Again"), "C:\\PROGRA~1");
  ASSERT_TRUE(files.CreateFolder("C:\\Program Folder\\my.long.name.text"));
  EXPECT_EQ(ShortPath(machine, "C:\\Program Folder\\my.long.name.text"),
            "C:\\PROGRA~2\\MYLONG~1.TEX");
}

TEST(ShortNames, AFolderOfLikeNamesNumbersThemInTurnAndGivesAFreedNumberAgain) {
  SimMachine machine(WindowsVersion::WinXP);
  auto& files = machine.Files();
  for (int i = 1; i <= 12; ++i) {
    ASSERT_TRUE(files.WriteFileDirect("C:\\Sound Library " + std::to_string(i) + ".wav", ""));
  }
  EXPECT_EQ(ShortPath(machine, "C:\\Sound Library 9.wav"), "C:\\SOUNDL~9.WAV");
  EXPECT_EQ(ShortPath(machine, "C:\\Sound Library 12.wav"), "C:\\SOUND~12.WAV");
  ASSERT_TRUE(files.DeleteFile("C:\\SOUNDL~3.WAV"));
  ASSERT_TRUE(files.WriteFileDirect("C:\\Sound Library 13.wav", ""));
  EXPECT_EQ(ShortPath(machine, "C:\\Sound Library 13.wav"), "C:\\SOUNDL~3.WAV");
  ASSERT_TRUE(files.WriteFileDirect("C:\\Sound Library 14.wav", ""));
  EXPECT_EQ(ShortPath(machine, "C:\\Sound Library 14.wav"), "C:\\SOUND~13.WAV");
}

TEST(ShortNames, NineXUpperCasesWhereNtKeepsTheSpelling) {
  for (auto [version, expected] :
       {std::pair{WindowsVersion::Win98SE, "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\"},
        std::pair{WindowsVersion::WinXP, "C:\\PROGRA~1\\Orvanta\\WIN_ME\\"}}) {
    SimMachine machine(version);
    ASSERT_TRUE(machine.Files().MakeFoldersDirect("C:\\Program Files\\Orvanta\\WIN_ME"));
    EXPECT_EQ(ShortPath(machine, "C:\\Program Files\\Orvanta\\WIN_ME\\"), expected);
    // The short form leads to the same folder.
    EXPECT_TRUE(machine.Files().SetCurrentFolder(expected));
  }
}

TEST(ShortNames, SearchesMatchTheShortNameToo) {
  SimMachine machine;
  machine.Files().WriteFileDirect("C:\\INF\\driver.infx", "x");
  platform::FindData data;
  platform::FindHandle handle = machine.Files().FindFirst("C:\\INF\\*.INF", data);
  ASSERT_FALSE(handle.IsNull());
  EXPECT_EQ(data.fileName, "driver.infx");
  EXPECT_EQ(data.alternateFileName, "DRIVER~1.INF");
  machine.Files().FindClose(handle);
  EXPECT_EQ(machine.Files().OpenSearchCount(), 0u);
}

TEST(FileSystem, DiscFilesAreReadOnlyMedia) {
  SimMachine machine;
  auto& files = machine.Files();
  files.AddDrive('D', true);
  ASSERT_TRUE(files.WriteFileDirect("D:\\SETUP.EXE", "MZ", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files.SetAttributes("D:\\SETUP.EXE", win::FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(files.DeleteFile("D:\\SETUP.EXE"));
  EXPECT_FALSE(files.CreateFolder("D:\\New"));
  EXPECT_FALSE(files.OpenStream("D:\\SETUP.EXE", "r+"));
  EXPECT_TRUE(files.OpenStream("D:\\setup.exe", "rb"));
  ASSERT_TRUE(files.CopyFile("D:\\SETUP.EXE", "C:\\Setup.exe", false));
  EXPECT_EQ(files.GetAttributes("C:\\Setup.exe"), win::FILE_ATTRIBUTE_READONLY);
}

TEST(FileSystem, AFileInUseRefusesDeletionAndOverwriteUntilTheRestart) {
  SimMachine machine;
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old");
  files.WriteFileDirect("C:\\new.vxd", "new");
  files.SetInUse("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", true);
  EXPECT_FALSE(files.DeleteFile("C:\\WINDOWS\\SYSTEM\\ovaudio.vxd"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(files.CopyFile("C:\\new.vxd", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", false));
  EXPECT_FALSE(files.OpenStream("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "wb"));
  EXPECT_TRUE(files.OpenStream("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "rb"));
  machine.Restart();
  EXPECT_TRUE(files.DeleteFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD"));
}

TEST(FileSystem, PathFormsResolveAsOnWindows) {
  SimMachine machine;
  auto& files = machine.Files();
  files.AddDrive('D', false);
  files.MakeFoldersDirect("D:\\Drivers\\Win_ME");
  files.WriteFileDirect("D:\\Drivers\\setup.ini", "x");
  ASSERT_TRUE(files.SetCurrentFolder("D:\\Drivers"));
  EXPECT_EQ(files.FullPath("setup.ini"), "D:\\Drivers\\setup.ini");
  EXPECT_EQ(files.FullPath(".\\setup.ini"), "D:\\Drivers\\setup.ini");
  EXPECT_EQ(files.FullPath("\\Setup\\setup.exe"), "D:\\Setup\\setup.exe");
  EXPECT_EQ(files.FullPath("D:Win_ME"), "D:\\Drivers\\Win_ME");
  EXPECT_EQ(files.FullPath("C:x"), "C:\\x");
  EXPECT_EQ(files.FullPath("D:\\Drivers\\Win_ME\\..\\.\\setup.ini"), "D:\\Drivers\\setup.ini");
  EXPECT_EQ(files.FullPath("D:/Drivers/setup.ini. "), "D:\\Drivers\\setup.ini");
  // The full form decides the length: 259 characters are a path, 260 are not.
  const std::string name(248, 'n');
  EXPECT_EQ(files.FullPath(name).size(), 259u);
  EXPECT_EQ(files.FullPath("Win_ME\\..\\" + name).size(), 259u);
  EXPECT_EQ(files.FullPath(name + "n"), "");
  EXPECT_TRUE(files.SetCurrentFolder("Win_ME"));
  EXPECT_EQ(files.CurrentFolder(), "D:\\Drivers\\Win_ME");

  EXPECT_FALSE(files.CreateFolder("C:\\bad<name"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_INVALID_NAME);
  EXPECT_FALSE(files.CreateFolder("Q:\\x"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(files.SetCurrentFolder("\\\\server\\share"));
}

TEST(FileSystem, FullPathNamesFollowTheCurrentDirectoryOfTheirDrive) {
  SimMachine machine;
  auto& files = machine.Files();
  files.AddDrive('D', true);
  files.MakeFoldersDirect("D:\\Drivers");
  auto full = [&files](const std::string& path) {
    std::string result;
    return files.GetFullPath(path, 260, result) != 0 ? result : "(failed)";
  };
  // Started as "setup" in a command prompt on D:, the launcher's folder is "D:.\\".
  ASSERT_TRUE(files.SetCurrentFolder("D:\\"));
  EXPECT_EQ(full("D:.\\orvainfo.sys"), "D:\\orvainfo.sys");
  ASSERT_TRUE(files.SetCurrentFolder("D:\\Drivers"));
  EXPECT_EQ(full("D:.\\orvainfo.sys"), "D:\\Drivers\\orvainfo.sys");
  EXPECT_EQ(full("d:"), "D:\\Drivers\\");
  // With the current directory on another drive, from the root of that drive.
  ASSERT_TRUE(files.SetCurrentFolder("C:\\WINDOWS"));
  EXPECT_EQ(full("D:.\\orvainfo.sys"), "D:\\orvainfo.sys");
  EXPECT_EQ(full("D:Drivers\\..\\..\\x"), "D:\\x");
  EXPECT_EQ(full("\\x"), "C:\\x");
  EXPECT_EQ(full("c:\\x\\"), "C:\\x\\");

  std::string untouched = "untouched";
  EXPECT_EQ(files.GetFullPath("   ", 260, untouched), 0u);
  EXPECT_EQ(machine.GetLastError(), win::ERROR_INVALID_NAME);
  EXPECT_EQ(files.GetFullPath(std::string(261, 'x'), 260, untouched), 0u);
  EXPECT_EQ(machine.GetLastError(), win::ERROR_FILENAME_EXCED_RANGE);
  machine.InjectedFaults().FailNth(sim::Call::GetFullPathNameA, 1, win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(files.GetFullPath("x", 260, untouched), 0u);
  EXPECT_EQ(machine.GetLastError(), win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(untouched, "untouched");
}

TEST(FileSystem, ASearchSkipsFilesDeletedWhileItRuns) {
  SimMachine machine;
  auto& files = machine.Files();
  for (const char* name : {"OEM1.INF", "OEM2.INF", "OEM3.INF"}) {
    files.WriteFileDirect(std::string("C:\\WINDOWS\\INF\\") + name, "x");
  }
  platform::FindData data;
  platform::FindHandle handle = files.FindFirst("C:\\WINDOWS\\INF\\OEM*.INF", data);
  ASSERT_FALSE(handle.IsNull());
  EXPECT_EQ(data.fileName, "OEM1.INF");
  ASSERT_TRUE(files.DeleteFile("C:\\WINDOWS\\INF\\OEM2.INF"));
  ASSERT_TRUE(files.FindNext(handle, data));
  EXPECT_EQ(data.fileName, "OEM3.INF");
  EXPECT_FALSE(files.FindNext(handle, data));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_NO_MORE_FILES);
  files.FindClose(handle);
}

TEST(FileSystem, TextStreamsStopAtCtrlZ) {
  SimMachine machine;
  machine.Files().WriteFileDirect("C:\\eof.txt", std::string("line\r\n\x1Ahidden\r\n"));
  auto text = machine.Files().OpenStream("C:\\eof.txt", "r");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->GetLine(100), std::optional<std::string>("line\n"));
  EXPECT_EQ(text->GetLine(100), std::nullopt);
  auto binary = machine.Files().OpenStream("C:\\eof.txt", "rb");
  EXPECT_EQ(binary->Read(100).size(), 15u);
}

TEST(FileSystem, SideEffectsAreJournalled) {
  SimMachine machine;
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\a.txt", "x");
  ASSERT_TRUE(files.CreateFolder("C:\\Staging"));
  ASSERT_TRUE(files.CopyFile("C:\\a.txt", "C:\\Staging\\a.txt", false));
  ASSERT_TRUE(files.DeleteFile("C:\\a.txt"));
  EXPECT_EQ(testsupport::JournalLines(machine),
            (std::vector<std::string>{"file create folder C:\\Staging",
                                      "file copy C:\\a.txt -> C:\\Staging\\a.txt",
                                      "file delete C:\\a.txt"}));
}

}  // namespace
