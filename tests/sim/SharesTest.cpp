// Network shares of the simulated machine: a share "\\server\share" is reached by its UNC path
// and works as a drive does, as the current directory too; a server or share that is not there
// fails as on Windows; programs start from a share.
#include <gtest/gtest.h>

#include <set>

#include "platform/sim/SimMachine.h"
#include "tests/FoundNames.h"

namespace {

using sim::SimMachine;

class Shares : public ::testing::Test {
 protected:
  Shares() : machine(sim::WindowsVersion::WinXP), files(machine.Files()) {
    EXPECT_TRUE(files.AddShare("\\\\FileSrv\\Drivers", false));
    EXPECT_TRUE(files.AddShare("\\\\FileSrv\\CD", true));
    EXPECT_TRUE(files.WriteFileDirect("\\\\FileSrv\\Drivers\\Audio\\setup.ini", "[Setup]\r\n"));
    EXPECT_TRUE(
        files.WriteFileDirect("\\\\FileSrv\\CD\\SETUP.EXE", "MZ", win::FILE_ATTRIBUTE_READONLY));
  }
  std::set<std::string> FindAll(const std::string& pattern) {
    return testsupport::FindAll(files, pattern);
  }
  std::string ShortPath(const std::string& path) {
    std::string result;
    return files.GetShortPath(path, 260, result) != 0 ? result : "(failed)";
  }
  std::string Current() {
    std::string current;
    files.GetCurrentFolder(260, current);
    return current;
  }

  SimMachine machine;
  sim::SimFileSystem& files;
};

TEST_F(Shares, EveryOperationWorksOnAShareAsOnADrive) {
  // Server and share names compare ignoring case; the names below them keep their case.
  const std::string audio = "\\\\fileSRV\\drivers\\Audio\\";
  EXPECT_EQ(files.GetAttributes(audio + "SETUP.INI"), win::FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(files.GetAttributes("\\\\FILESRV\\DRIVERS") & win::FILE_ATTRIBUTE_DIRECTORY,
            win::FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(files.FullPath(audio + "..\\.\\Audio\\setup.ini"),
            "\\\\fileSRV\\drivers\\Audio\\setup.ini");

  ASSERT_TRUE(files.CreateFolder(audio + "Win XP Drivers"));
  EXPECT_FALSE(files.CreateFolder(audio + "win xp drivers"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(files.CreateFolder("\\\\FileSrv\\Drivers"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ALREADY_EXISTS);
  ASSERT_TRUE(files.CopyFile(audio + "setup.ini", audio + "Win XP Drivers\\setup.ini", true));
  ASSERT_TRUE(files.CopyFile(audio + "setup.ini", "C:\\setup.ini", false));
  ASSERT_TRUE(files.CopyFile("C:\\setup.ini", audio + "copy.ini", false));
  EXPECT_EQ(files.ReadFileDirect("\\\\FileSrv\\Drivers\\Audio\\copy.ini"), "[Setup]\r\n");
  ASSERT_TRUE(files.SetAttributes(audio + "copy.ini", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files.DeleteFile(audio + "copy.ini"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ACCESS_DENIED);
  ASSERT_TRUE(files.SetAttributes(audio + "copy.ini", win::FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(files.MoveFile(audio + "copy.ini", audio + "moved.ini", 0));
  // Another share, like another drive, is another device.
  EXPECT_FALSE(files.MoveFile(audio + "moved.ini", "C:\\moved.ini", 0));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_NOT_SAME_DEVICE);
  ASSERT_TRUE(files.DeleteFile(audio + "moved.ini"));

  EXPECT_EQ(ShortPath(audio + "Win XP Drivers\\setup.ini"),
            "\\\\fileSRV\\drivers\\Audio\\WINXPD~1\\setup.ini");
  EXPECT_EQ(FindAll(audio + "*.*"),
            (std::set<std::string>{".", "..", "setup.ini", "Win XP Drivers"}));
  EXPECT_EQ(FindAll("\\\\FileSrv\\Drivers\\*"), (std::set<std::string>{"Audio"}));

  {
    std::unique_ptr<platform::Stream> out = files.OpenStream(audio + "log.txt", "w");
    ASSERT_TRUE(out);
    out->Write("done\n", 5);
  }
  std::unique_ptr<platform::Stream> in = files.OpenStream(audio + "log.txt", "rb");
  ASSERT_TRUE(in);
  EXPECT_EQ(in->Read(100).size(), 6u);
}

TEST_F(Shares, AShareCanBeTheCurrentDirectory) {
  ASSERT_TRUE(files.SetCurrentFolder("\\\\filesrv\\drivers"));
  EXPECT_EQ(Current(), "\\\\filesrv\\drivers");  // the root of a share has no backslash
  ASSERT_TRUE(files.SetCurrentFolder("Audio"));
  EXPECT_EQ(Current(), "\\\\filesrv\\drivers\\Audio");
  EXPECT_EQ(files.GetAttributes("setup.ini"), win::FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(files.FullPath(".\\setup.ini"), "\\\\filesrv\\drivers\\Audio\\setup.ini");
  // "\" is the root of the share; ".." stops there; a drive-relative path goes to the drive.
  EXPECT_EQ(files.FullPath("\\Audio"), "\\\\filesrv\\drivers\\Audio");
  EXPECT_EQ(files.FullPath("..\\..\\..\\Audio"), "\\\\filesrv\\drivers\\Audio");
  EXPECT_EQ(files.FullPath("C:x"), "C:\\x");
  EXPECT_EQ(files.FullPath("C:"), "C:\\");
  // GetFullPathNameA the same way, and ".." stops at the share there too.
  std::string full;
  ASSERT_GT(files.GetFullPath("..\\..\\x.sys", 260, full), 0u);
  EXPECT_EQ(full, "\\\\filesrv\\drivers\\x.sys");
  ASSERT_GT(files.GetFullPath("\\x.sys", 260, full), 0u);
  EXPECT_EQ(full, "\\\\filesrv\\drivers\\x.sys");
  ASSERT_GT(files.GetFullPath("..\\..", 260, full), 0u);
  EXPECT_EQ(full, "\\\\filesrv\\drivers");
  ASSERT_GT(files.GetFullPath("D:.\\x.sys", 260, full), 0u);
  EXPECT_EQ(full, "D:\\x.sys");
  ASSERT_TRUE(files.SetCurrentFolder("C:\\WINDOWS"));
  EXPECT_EQ(Current(), "C:\\WINDOWS");
}

TEST_F(Shares, AMissingServerOrShareFailsAsOnWindows) {
  struct Case {
    const char* path;
    std::uint32_t error;
  } cases[] = {
      {"\\\\NoSuchServer\\Drivers\\setup.ini", win::ERROR_BAD_NETPATH},
      {"\\\\FileSrv\\NoSuchShare\\setup.ini", win::ERROR_BAD_NET_NAME},
      {"\\\\FileSrv\\NoSuchShare", win::ERROR_BAD_NET_NAME},
      {"\\\\FileSrv", win::ERROR_BAD_NETPATH},
      {"\\\\", win::ERROR_BAD_NETPATH},
      {"\\\\FileSrv\\Drivers\\Absent\\setup.ini", win::ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(files.GetAttributes(c.path), win::INVALID_FILE_ATTRIBUTES) << c.path;
    EXPECT_EQ(machine.GetLastError(), c.error) << c.path;
    EXPECT_FALSE(files.SetCurrentFolder(c.path)) << c.path;
    EXPECT_EQ(machine.GetLastError(), c.error) << c.path;
    EXPECT_FALSE(files.CopyFile("\\\\FileSrv\\Drivers\\Audio\\setup.ini", c.path, false));
    EXPECT_EQ(machine.GetLastError(), c.error) << c.path;
  }
  EXPECT_FALSE(files.AddShare("\\\\FileSrv", false));
  EXPECT_FALSE(files.AddShare("\\\\FileSrv\\Drivers\\Audio", false));
  EXPECT_FALSE(files.AddShare("C:\\Shared", false));
  EXPECT_EQ(files.Shares(), (std::vector<std::string>{"\\\\FileSrv\\CD", "\\\\FileSrv\\Drivers"}));
}

TEST_F(Shares, AReadOnlyShareIsLikeADisc) {
  EXPECT_EQ(files.GetAttributes("\\\\FileSrv\\CD\\setup.exe"), win::FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(files.CreateFolder("\\\\FileSrv\\CD\\New"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_FALSE(files.CopyFile("C:\\WINDOWS\\WIN.INI", "\\\\FileSrv\\CD\\WIN.INI", false));
  EXPECT_FALSE(files.SetAttributes("\\\\FileSrv\\CD\\SETUP.EXE", win::FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(files.OpenStream("\\\\FileSrv\\CD\\SETUP.EXE", "r+"));
  EXPECT_TRUE(files.OpenStream("\\\\FileSrv\\CD\\SETUP.EXE", "rb"));
  EXPECT_TRUE(files.IsReadOnlyMedia("\\\\fileSRV\\cd"));
  EXPECT_FALSE(files.IsReadOnlyMedia("\\\\FileSrv\\Drivers"));
}

TEST_F(Shares, AProgramStartsFromAShare) {
  machine.SetCommandLine("\\\\FileSrv\\CD\\SETUP.EXE", "");
  auto& processes = machine.Processes();
  EXPECT_GT(processes.WinExec("\\\\FileSrv\\CD\\setup.exe /s", win::SW_SHOW), 31u);
  ASSERT_FALSE(processes.StartProcess("\"\\\\filesrv\\cd\\SETUP.EXE\"", win::SW_SHOW).IsNull());
  // A bare name is looked for in the folder of the running program, here the share.
  machine.Files().WriteFileDirect("\\\\FileSrv\\CD\\Helper.exe", "MZ");
  EXPECT_GT(processes.WinExec("helper", win::SW_SHOW), 31u);
  ASSERT_EQ(processes.Started().size(), 3u);
  // The program path keeps the spelling it was started with, as on a drive.
  EXPECT_EQ(processes.Started()[0].program, "\\\\FileSrv\\CD\\setup.exe");
  EXPECT_EQ(processes.Started()[2].program, "\\\\FileSrv\\CD\\helper.exe");

  EXPECT_EQ(processes.WinExec("\\\\Elsewhere\\CD\\setup.exe", win::SW_SHOW),
            win::ERROR_BAD_NETPATH);
  EXPECT_EQ(processes.WinExec("\\\\FileSrv\\DVD\\setup.exe", win::SW_SHOW),
            win::ERROR_BAD_NET_NAME);
  EXPECT_EQ(processes.WinExec("\\\\FileSrv\\CD\\absent.exe", win::SW_SHOW),
            win::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(processes.WinExec("\\\\FileSrv\\CD\\Absent\\setup.exe", win::SW_SHOW),
            win::ERROR_PATH_NOT_FOUND);
}

}  // namespace
