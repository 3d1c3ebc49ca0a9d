// How programs are started and found, wherever the launcher runs.
#include "tests/contract/ContractEnv.h"

namespace contract {
namespace {

class Processes : public ContractTest {
 protected:
  // Starts the command line and waits for the program to end; its exit code, or -1.
  long long Run(const std::string& commandLine) {
    platform::ProcessHandle process = p().processes.StartProcess(commandLine, win::SW_SHOW);
    if (process.IsNull()) {
      return -1;
    }
    std::uint32_t code = win::STILL_ACTIVE;
    for (int round = 0; round < 600 && code == win::STILL_ACTIVE; ++round) {
      p().processes.WaitForInputIdle(process, 100);
      p().system.Sleep(50);
      EXPECT_TRUE(p().processes.GetExitCode(process, code));
    }
    p().processes.CloseProcess(process);
    return code;
  }
};

TEST_F(Processes, MissingProgramsAreReported) {
  EXPECT_LE(p().processes.WinExec(dir + "absent.exe /DRIVER", win::SW_SHOW), 31u);
  EXPECT_TRUE(p().processes.StartProcess(dir + "absent.exe", win::SW_SHOW).IsNull());
  EXPECT_TRUE(p().processes.FindTopLevelWindow("No Such Window Title 4711").IsNull());
}

TEST_F(Processes, AProgramRunsAndEnds) {
  Env().plantProgram(dir + "prog.exe");
  EXPECT_EQ(Run(dir + "prog.exe"), 100 + 8);
  EXPECT_GT(p().processes.WinExec(dir + "prog.exe /SPEAKER", win::SW_SHOW), 31u);
}

TEST_F(Processes, AWaitEndsWithTheProgram) {
  // Exit code 259 (100 + a name of 159 characters) reads as STILL_ACTIVE: only the wait on the
  // process tells that the program has ended.
  const std::string program = dir + std::string(155, 'w') + ".exe";
  Env().plantProgram(program);
  platform::ProcessHandle process = p().processes.StartProcess(program, win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  EXPECT_EQ(p().processes.WaitForProcess(process, 60000), win::WAIT_OBJECT_0);
  std::uint32_t code = 0;
  EXPECT_TRUE(p().processes.GetExitCode(process, code));
  EXPECT_EQ(code, win::STILL_ACTIVE);
  EXPECT_EQ(p().processes.WaitForProcess(process, 0), win::WAIT_OBJECT_0);
  p().processes.CloseProcess(process);
  EXPECT_EQ(p().processes.WaitForProcess(platform::ProcessHandle{}, 0), win::WAIT_FAILED);
}

TEST_F(Processes, AnExtensionlessNameIsTriedWithExe) {
  Env().plantProgram(dir + "tool.exe");
  EXPECT_EQ(Run(dir + "tool"), 100 + 8);
}

TEST_F(Processes, AnyFileNameCanBeAProgram) {
  // The disc's driver setup programs are executables named ".dat".
  Env().plantProgram(dir + "MESetup.dat");
  EXPECT_EQ(Run(dir + "MESetup.dat /DRIVER"), 100 + 11);
}

TEST_F(Processes, AnUnquotedPathWithABlankTriesEveryPrefix) {
  ASSERT_TRUE(p().files.CreateFolder(dir + "Dir With Blank"));
  Env().plantProgram(dir + "Dir With Blank\\setup.exe");
  // Without a program at the first prefix, the whole path is found.
  EXPECT_EQ(Run(dir + "Dir With Blank\\setup.exe /DRIVER"), 100 + 9);
  EXPECT_EQ(Run("\"" + dir + "Dir With Blank\\setup.exe\" /DRIVER"), 100 + 9);
  // With one, the first prefix wins: "...\Dir.exe" runs instead of the program meant.
  Env().plantProgram(dir + "Dir.exe");
  EXPECT_EQ(Run(dir + "Dir With Blank\\setup.exe /DRIVER"), 100 + 7);
  // Quoting the program path always starts the right one.
  EXPECT_EQ(Run("\"" + dir + "Dir With Blank\\setup.exe\" /DRIVER"), 100 + 9);
}

}  // namespace
}  // namespace contract
