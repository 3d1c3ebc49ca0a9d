// The simulated machine as a whole: faults on demand, the virtual clock, the orderly exit,
// programs and windows, message boxes and the restart that carries out pending renames.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using sim::SimMachine;
using sim::WindowsVersion;

std::vector<std::string> Texts(const SimMachine& machine, const std::string& category) {
  return testsupport::JournalTexts(machine, category);
}

TEST(Faults, TheNthCallOrEveryCallFails) {
  SimMachine machine;
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\a", "x");
  machine.InjectedFaults().FailNth(sim::Call::CopyFileA, 2, win::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(files.CopyFile("C:\\a", "C:\\b", false));
  EXPECT_FALSE(files.CopyFile("C:\\a", "C:\\c", false));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_TRUE(files.CopyFile("C:\\a", "C:\\d", false));
  EXPECT_EQ(files.Find("C:\\c"), nullptr);
  EXPECT_EQ(Texts(machine, "fault"), (std::vector<std::string>{"CopyFileA failed with error 5"}));

  machine.InjectedFaults().FailEvery(sim::Call::RegOpenKeyExA, win::ERROR_FILE_NOT_FOUND);
  platform::RegKey key;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(machine.Registry().OpenKey(win::HKEY_LOCAL_MACHINE, "", win::KEY_READ, key),
              static_cast<std::int32_t>(win::ERROR_FILE_NOT_FOUND));
  }
  machine.InjectedFaults().Clear();
  EXPECT_EQ(machine.Registry().OpenKey(win::HKEY_LOCAL_MACHINE, "", win::KEY_READ, key), 0);
  EXPECT_EQ(machine.InjectedFaults().CallCount(sim::Call::RegOpenKeyExA), 4u);
}

TEST(Clock, WaitsCostNothingButAreRecorded) {
  SimMachine machine;
  machine.Sleep(300);
  machine.SleepEx(10, false);
  EXPECT_EQ(machine.Core().nowMs, 310u);
  EXPECT_EQ(Texts(machine, "wait"), (std::vector<std::string>{"300 ms", "10 ms"}));
}

TEST(Exit, TheOrderlyExitHandsControlBack) {
  SimMachine machine;
  try {
    machine.Platform().system.ExitProcess(3);
    FAIL() << "ExitProcess returned";
  } catch (const sim::ProcessExit& exit) {
    EXPECT_EQ(exit.exitCode, 3);
  }
  EXPECT_EQ(Texts(machine, "process"), (std::vector<std::string>{"exit with code 3"}));
}

TEST(Versions, SevenWindowsAsGetVersionExReportsThem) {
  struct Case {
    WindowsVersion version;
    std::uint32_t platform, major, minor, build;
    const char* windows;
  } cases[] = {{WindowsVersion::Win95, 1, 4, 0, 0x040003B6, "C:\\WINDOWS"},
               {WindowsVersion::Win98, 1, 4, 10, 0x040A07CE, "C:\\WINDOWS"},
               {WindowsVersion::Win98SE, 1, 4, 10, 0x040A08AE, "C:\\WINDOWS"},
               {WindowsVersion::WinME, 1, 4, 90, 0x045A0BB8, "C:\\WINDOWS"},
               {WindowsVersion::NT4, 2, 4, 0, 1381, "C:\\WINNT"},
               {WindowsVersion::Win2000, 2, 5, 0, 2195, "C:\\WINNT"},
               {WindowsVersion::WinXP, 2, 5, 1, 2600, "C:\\WINDOWS"}};
  for (const Case& c : cases) {
    SimMachine machine(c.version);
    platform::OsVersion os;
    ASSERT_TRUE(machine.GetVersion(os));
    EXPECT_EQ(os.platformId, c.platform);
    EXPECT_EQ(os.majorVersion, c.major);
    EXPECT_EQ(os.minorVersion, c.minor);
    EXPECT_EQ(os.buildNumber, c.build);
    EXPECT_EQ(machine.Files().WindowsFolder(), c.windows);
  }
}

TEST(Programs, WindowsCloseOnWmCloseAndTheirProgramEnds) {
  SimMachine machine;
  auto& processes = machine.Processes();
  processes.AddRunningWindow("AudioShelf", "C:\\Program Files\\Orvanta\\AudioShelf.exe");
  platform::WindowHandle window = processes.FindTopLevelWindow("audioshelf");
  ASSERT_FALSE(window.IsNull());
  EXPECT_TRUE(processes.FindTopLevelWindow("AudioShelf ").IsNull());
  processes.SendWindowMessage(window, win::WM_CLOSE, 0, 0);
  EXPECT_TRUE(processes.FindTopLevelWindow("AudioShelf").IsNull());
  ASSERT_EQ(processes.Started().size(), 1u);
  EXPECT_TRUE(processes.Started()[0].endMs.has_value());
  EXPECT_EQ(Texts(machine, "window"), (std::vector<std::string>{"WM_CLOSE to \"AudioShelf\""}));
}

TEST(Programs, AnUninstallerIsWaitedForOnTheVirtualClock) {
  SimMachine machine;
  machine.Files().WriteFileDirect("C:\\WINDOWS\\uninst.exe", "MZ");
  sim::ProgramBehaviour behaviour;
  behaviour.runsForMs = 2500;
  behaviour.exitCode = 4;
  machine.Processes().DefineProgram("C:\\WINDOWS\\UNINST.EXE", behaviour);
  platform::ProcessHandle process =
      machine.Processes().StartProcess("C:\\WINDOWS\\uninst.exe -a", win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  std::uint32_t code = 0;
  int rounds = 0;
  do {
    machine.Processes().WaitForInputIdle(process, 1000);
    ASSERT_TRUE(machine.Processes().GetExitCode(process, code));
    ++rounds;
  } while (code == win::STILL_ACTIVE && rounds < 100);
  EXPECT_EQ(code, 4u);
  EXPECT_EQ(rounds, 3);
  EXPECT_EQ(machine.Core().nowMs, 2500u);
  machine.Processes().CloseProcess(process);
}

TEST(Programs, TheBlankInAnUnquotedPathFindsAPlantedProgram) {
  SimMachine machine;
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "MZ");
  EXPECT_GT(machine.Processes().WinExec("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat /DRIVER",
                                        win::SW_SHOW),
            31u);
  files.WriteFileDirect("C:\\Program.exe", "MZ");
  machine.Processes().WinExec("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat /DRIVER",
                              win::SW_SHOW);
  ASSERT_EQ(machine.Processes().Started().size(), 2u);
  EXPECT_EQ(machine.Processes().Started()[0].program,
            "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat");
  EXPECT_EQ(machine.Processes().Started()[1].program, "C:\\Program.exe");
  EXPECT_EQ(machine.Processes().WinExec("D:\\absent\\x.exe", win::SW_SHOW),
            win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(machine.Processes().WinExec("C:\\absent.exe", win::SW_SHOW), win::ERROR_FILE_NOT_FOUND);
}

TEST(MessageBoxes, AnswersComeFromTheScript) {
  SimMachine machine;
  machine.QueueMessageBoxAnswer(win::IDNO);
  EXPECT_EQ(machine.ShowMessageBox({}, "Restart?", "Setup", win::MB_YESNO), win::IDNO);
  EXPECT_EQ(machine.ShowMessageBox({}, "Can not find the setup program.", "Setup", win::MB_OK),
            win::IDOK);
  EXPECT_EQ(Texts(machine, "ui"),
            (std::vector<std::string>{
                "message box \"Setup\": \"Restart?\" -> No",
                "message box \"Setup\": \"Can not find the setup program.\" -> OK"}));
}

TEST(Restart, NineXCarriesOutWininitRenames) {
  SimMachine machine(WindowsVersion::Win98SE);
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old driver");
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL", "old dll");
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD", "older");
  files.WriteFileDirect(
      "C:\\WINDOWS\\WININIT.INI",
      "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"
      "NUL=C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL\r\nC:\\X=C:\\ABSENT\r\n");
  // Windows 9x has no pending-rename list of its own.
  EXPECT_FALSE(files.MoveFile("C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD", std::nullopt,
                              win::MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_CALL_NOT_IMPLEMENTED);
  machine.Restart();
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD"), "old driver");
  EXPECT_EQ(files.Find("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD"), nullptr);
  EXPECT_EQ(files.Find("C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL"), nullptr);
  EXPECT_EQ(files.Find("C:\\WINDOWS\\WININIT.INI"), nullptr);
  EXPECT_NE(files.Find("C:\\WINDOWS\\WININIT.BAK"), nullptr);
  EXPECT_EQ(
      Texts(machine, "restart"),
      (std::vector<std::string>{
          "Windows restarts",
          "renamed C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD",
          "deleted C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL", "could not rename C:\\ABSENT -> C:\\X"}));
}

TEST(Restart, NtCarriesOutPendingRenamesInOrder) {
  SimMachine machine(WindowsVersion::NT4);
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\WINNT\\system32\\ov-pci.dll", "old");
  files.WriteFileDirect("C:\\WINNT\\system32\\ov-pci.new", "new");
  ASSERT_TRUE(files.MoveFile("C:\\WINNT\\system32\\ov-pci.dll", std::nullopt,
                             win::MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(files.MoveFile("C:\\WINNT\\system32\\ov-pci.new", "C:\\WINNT\\system32\\ov-pci.dll",
                             win::MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(files.ReadFileDirect("C:\\WINNT\\system32\\ov-pci.dll"), "old");
  const sim::RegValue* pending = machine.Registry().FindValue(
      "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager",
      "PendingFileRenameOperations");
  ASSERT_NE(pending, nullptr);
  using namespace std::string_literals;
  EXPECT_EQ(std::string(pending->data.begin(), pending->data.end()),
            "\\??\\C:\\WINNT\\system32\\ov-pci.dll\0\0"s
            "\\??\\C:\\WINNT\\system32\\ov-pci.new\0\\??\\C:\\WINNT\\system32\\ov-pci.dll\0\0"s);
  machine.Restart();
  EXPECT_EQ(files.ReadFileDirect("C:\\WINNT\\system32\\ov-pci.dll"), "new");
  EXPECT_EQ(files.Find("C:\\WINNT\\system32\\ov-pci.new"), nullptr);
  EXPECT_EQ(machine.Registry().FindValue(
                "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                "PendingFileRenameOperations"),
            nullptr);
}

}  // namespace
