// The folder the launcher was started from, for every form of program path.
#include <gtest/gtest.h>

#include "app/SourceDir.h"
#include "platform/sim/SimMachine.h"

namespace {

class SourceDir : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.Files().AddDrive('D', true);
    machine.Files().MakeFoldersDirect("D:\\Drivers");
    machine.Files().MakeFoldersDirect("C:\\Temp");
  }
  std::string Derive(const std::string& program, const std::string& current) {
    machine.Files().SetCurrentFolderDirect(current);
    return app::DeriveSourceDir(program, machine.Files());
  }
  sim::SimMachine machine;
};

TEST_F(SourceDir, FullPaths) {
  EXPECT_EQ(Derive("D:\\SETUP.EXE", "C:\\Temp"), "D:\\");
  EXPECT_EQ(Derive("D:\\Drivers\\Setup.exe", "C:\\Temp"), "D:\\Drivers\\");
  EXPECT_EQ(Derive("C:\\Program Files\\Orvanta\\WIN_9x\\Setup.exe", "D:\\"),
            "C:\\Program Files\\Orvanta\\WIN_9x\\");
}

TEST_F(SourceDir, PathsWithoutADriveTakeTheCurrentOne) {
  EXPECT_EQ(Derive("\\Setup\\setup.exe", "C:\\Temp"), "C:\\Setup\\");
  EXPECT_EQ(Derive(".\\setup.exe", "D:\\Drivers"), "D:.\\");
}

TEST_F(SourceDir, RelativeFoldersStayBelowTheCurrentDirectory) {
  machine.Files().MakeFoldersDirect("D:\\Drivers\\sub");
  EXPECT_EQ(Derive(".\\sub\\setup.exe", "D:\\Drivers"), "D:.\\sub\\");
  EXPECT_EQ(Derive("sub\\setup.exe", "D:\\Drivers"), "D:sub\\");
  EXPECT_EQ(Derive("a\\b\\setup.exe", "C:\\Temp"), "C:a\\b\\");
  // They lead to the folder below the current one, not to the root of the drive.
  machine.Files().SetCurrentFolderDirect("D:\\Drivers");
  EXPECT_EQ(machine.Files().FullPath("D:.\\sub\\setup.ini"), "D:\\Drivers\\sub\\setup.ini");
  EXPECT_EQ(machine.Files().FullPath("D:sub\\setup.ini"), "D:\\Drivers\\sub\\setup.ini");
}

TEST_F(SourceDir, ANetworkPathKeepsItsFolderWhole) {
  EXPECT_EQ(Derive("\\\\server\\share\\setup.exe", "C:\\Temp"), "\\\\server\\share\\");
  EXPECT_EQ(Derive("\\\\server\\share\\Drivers\\Setup.exe", "C:\\Temp"),
            "\\\\server\\share\\Drivers\\");
}

TEST_F(SourceDir, BareNamesAreInTheCurrentDirectory) {
  EXPECT_EQ(Derive("SETUP.EXE", "D:\\Drivers"), "D:.\\");
  EXPECT_EQ(Derive("setup", "C:\\Temp"), "C:.\\");
  EXPECT_EQ(Derive("D:SETUP.EXE", "C:\\Temp"), "D:.\\");
  EXPECT_EQ(Derive("\\SETUP.EXE", "D:\\Drivers"), "D:\\");
  // The relative forms lead to the folder meant.
  machine.Files().SetCurrentFolderDirect("D:\\Drivers");
  EXPECT_EQ(machine.Files().FullPath("D:.\\setup.ini"), "D:\\Drivers\\setup.ini");
}

TEST_F(SourceDir, OverlongAndEmptyPathsGiveADefinedFolder) {
  // Kept whole, not cut to a buffer: every path built on it is then refused by Windows as too
  // long, instead of naming some other folder.
  std::string program = "D:\\" + std::string(300, 'x') + "\\SETUP.EXE";
  std::string folder = Derive(program, "C:\\Temp");
  EXPECT_EQ(folder, "D:\\" + std::string(300, 'x') + "\\");
  EXPECT_EQ(machine.Platform().profiles.GetInt("InstallOption", "WindowsMEDriver", 1,
                                               folder + "setup.ini"),
            1u);
  EXPECT_EQ(Derive("", "C:\\Temp"), "C:.\\");
}

}  // namespace
