// Command lines that cannot start another program than the one meant.
#include <gtest/gtest.h>

#include "app/Paths.h"
#include "platform/sim/SimMachine.h"

namespace {

TEST(Paths, ProgramsWithABlankAreQuoted) {
  EXPECT_EQ(app::ProgramOnCommandLine("D:\\MESetup.dat"), "D:\\MESetup.dat");
  EXPECT_EQ(app::ProgramOnCommandLine("C:\\My Disc\\MESetup.dat"), "\"C:\\My Disc\\MESetup.dat\"");
}

TEST(Paths, ARegisteredCommandGetsItsProgramQuoted) {
  EXPECT_EQ(
      app::WithProgramQuoted("C:\\Program Files\\InstallShield\\IsUninst.exe -f\"C:\\a b.isu\""),
      "\"C:\\Program Files\\InstallShield\\IsUninst.exe\" -f\"C:\\a b.isu\"");
  EXPECT_EQ(app::WithProgramQuoted("C:\\Program Files\\Suite\\UNINST.EXE"),
            "\"C:\\Program Files\\Suite\\UNINST.EXE\"");
  // Already quoted, without a blank, or without a program that ends a word: as it is.
  EXPECT_EQ(app::WithProgramQuoted("\"C:\\Program Files\\u.exe\" -x"),
            "\"C:\\Program Files\\u.exe\" -x");
  EXPECT_EQ(app::WithProgramQuoted("C:\\WINDOWS\\uninst.exe -f C:\\a b"),
            "C:\\WINDOWS\\uninst.exe -f C:\\a b");
  EXPECT_EQ(app::WithProgramQuoted("C:\\Program Files\\a.exec x"), "C:\\Program Files\\a.exec x");
  EXPECT_EQ(app::WithProgramQuoted("RunDll32 setupapi,InstallHinfSection x"),
            "RunDll32 setupapi,InstallHinfSection x");
  EXPECT_EQ(app::WithProgramQuoted(""), "");
  EXPECT_EQ(app::WithProgramQuoted("\"C:\\My Tools\\a.exe -x"), "\"C:\\My Tools\\a.exe -x");
}

TEST(Paths, NoWindowsFolderGivesNothing) {
  sim::SimMachine machine;
  EXPECT_EQ(app::WindowsFolderWithBackslash(machine.Platform().files), "C:\\WINDOWS\\");
  machine.InjectedFaults().FailNth(sim::Call::GetWindowsDirectoryA, 1,
                                   win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(app::WindowsFolderWithBackslash(machine.Platform().files), std::nullopt);
}

}  // namespace
