// How programs are started and found, wherever the launcher runs.
#include <cstring>

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
    std::uint32_t code = WaitUntilEnded(process);
    p().processes.CloseProcess(process);
    return code;
  }
  // Polls the program's exit code, sleeping between, until it is no longer STILL_ACTIVE (at most
  // half a minute).
  std::uint32_t WaitUntilEnded(platform::ProcessHandle process) {
    std::uint32_t code = win::STILL_ACTIVE;
    for (int round = 0; round < 600 && code == win::STILL_ACTIVE; ++round) {
      p().system.Sleep(50);
      EXPECT_TRUE(p().processes.GetExitCode(process, code));
    }
    return code;
  }
  // Sleeps until a window of the title is there (`present`) or gone; false after ten seconds.
  bool AwaitWindow(const std::string& title, bool present) {
    for (int round = 0; round < 200; ++round) {
      if (p().processes.FindTopLevelWindow(title).IsNull() != present) {
        return true;
      }
      p().system.Sleep(50);
    }
    return false;
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

TEST_F(Processes, WaitingForInputIdleDoesNotWaitForTheEnd) {
  // A program without a window has no input to be idle for, and one with a window is idle as
  // soon as it handles its messages: the wait returns while either still runs.
  Env().plantProgram(dir + "sleeper.exe");
  Env().plantProgram(dir + "relayed.exe");
  for (const char* name : {"sleeper.exe", "relayed.exe"}) {
    platform::ProcessHandle process = p().processes.StartProcess(dir + name, win::SW_SHOW);
    ASSERT_FALSE(process.IsNull()) << name;
    p().processes.WaitForInputIdle(process, 20000);
    std::uint32_t code = 0;
    EXPECT_TRUE(p().processes.GetExitCode(process, code)) << name;
    EXPECT_EQ(code, win::STILL_ACTIVE) << name;
    EXPECT_EQ(WaitUntilEnded(process), 100u + std::strlen(name)) << name;
    p().processes.CloseProcess(process);
  }
}

TEST_F(Processes, AProgramThatEndsWith259ReadsAsRunning) {
  Env().plantProgram(dir + "exit259.exe");
  platform::ProcessHandle process = p().processes.StartProcess(dir + "exit259.exe", win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  const std::string title = std::string(kPlantedTitle) + "exit259.exe";
  ASSERT_TRUE(AwaitWindow(title, true));
  ASSERT_TRUE(AwaitWindow(title, false));
  p().system.Sleep(500);
  // It has ended, with the one exit code that reads as STILL_ACTIVE: a loop waiting for the exit
  // code to change waits for ever.
  std::uint32_t code = 0;
  EXPECT_TRUE(p().processes.GetExitCode(process, code));
  EXPECT_EQ(code, win::STILL_ACTIVE);
  p().processes.CloseProcess(process);
}

TEST_F(Processes, AProgramCanHandOverToACopyOfItselfAndEnd) {
  // Uninstallers copy themselves away and end, so that their own file can go: the program that
  // was started has ended while the work goes on in the copy.
  Env().plantProgram(dir + "relay.exe");
  platform::ProcessHandle process = p().processes.StartProcess(dir + "relay.exe -a", win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  EXPECT_EQ(WaitUntilEnded(process), 0u);
  p().processes.CloseProcess(process);
  const std::string title = std::string(kPlantedTitle) + "relayed.exe";
  EXPECT_TRUE(AwaitWindow(title, true));
  EXPECT_TRUE(AwaitWindow(title, false));
}

TEST_F(Processes, AFileThatIsNoProgramDoesNotStart) {
  // The disc's setup programs are named ".dat": any name may be a program, but only a file
  // that is an executable image starts.
  WriteRaw(dir + "notes.dat", "no program, only text");
  EXPECT_EQ(p().processes.WinExec(dir + "notes.dat /DRIVER", win::SW_SHOW), win::ERROR_BAD_FORMAT);
  EXPECT_TRUE(p().processes.StartProcess(dir + "notes.dat", win::SW_SHOW).IsNull());
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_BAD_EXE_FORMAT);
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
