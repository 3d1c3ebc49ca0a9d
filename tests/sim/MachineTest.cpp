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

// WaitForInputIdle does not wait for the end: a loop that polls the exit code spins, each poll
// a millisecond of virtual time, and the journal says so.
TEST(Programs, AnUninstallerPolledInALoopSpinsOnTheVirtualClock) {
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
  } while (code == win::STILL_ACTIVE && rounds < 10000);
  EXPECT_EQ(code, 4u);
  EXPECT_EQ(rounds, 2500);
  EXPECT_EQ(machine.Core().nowMs, 2500u);
  machine.Processes().CloseProcess(process);
  EXPECT_EQ(
      Texts(machine, "note"),
      (std::vector<std::string>{
          "busy wait: the exit code of C:\\WINDOWS\\uninst.exe asked 2500 times while it ran"}));
}

// A program that ended with 259 reads as running for ever: the loop waiting for it is ended
// from the task list, and one that copies itself away and ends is waited for only while the
// original runs.
TEST(Programs, WaitingForTheWrongProgramIsSeen) {
  SimMachine machine;
  auto& processes = machine.Processes();
  machine.Files().WriteFileDirect("C:\\WINDOWS\\odd.exe", "MZ");
  machine.Files().WriteFileDirect("C:\\WINDOWS\\uninst.exe", "MZ");
  sim::ProgramBehaviour odd;
  odd.runsForMs = 10;
  odd.exitCode = win::STILL_ACTIVE;
  processes.DefineProgram("C:\\WINDOWS\\odd.exe", odd);
  sim::ProgramBehaviour relay;
  relay.handsOverTo = "C:\\WINDOWS\\TEMP\\_uninst.exe";
  relay.exitCode = 0;
  processes.DefineProgram("C:\\WINDOWS\\uninst.exe", relay);
  sim::ProgramBehaviour copy;
  copy.runsForMs = 5000;
  copy.windowTitle = "Uninstall";
  processes.DefineProgram("C:\\WINDOWS\\TEMP\\_uninst.exe", copy);

  platform::ProcessHandle handedOver = processes.StartProcess("C:\\WINDOWS\\uninst.exe -a", 0);
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.GetExitCode(handedOver, code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(processes.FindTopLevelWindow("Uninstall").IsNull());
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\TEMP\\_uninst.exe"), "MZ");

  platform::ProcessHandle process = processes.StartProcess("C:\\WINDOWS\\odd.exe", 0);
  int rounds = 0;
  try {
    while (processes.GetExitCode(process, code) && code == win::STILL_ACTIVE) {
      ++rounds;
    }
    ADD_FAILURE() << "the loop ended";
  } catch (const sim::ProcessExit& exit) {
    EXPECT_EQ(exit.exitCode, 1);
  }
  EXPECT_EQ(rounds, static_cast<int>(sim::kHungPolls) - 1);
  EXPECT_EQ(Texts(machine, "process").back(), "exit with code 1");
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
  files.WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD", "staged");
  const std::string overlong(300, 'X');
  files.WriteFileDirect(
      "C:\\WINDOWS\\WININIT.INI",
      "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"
      "NUL=C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL\r\nC:\\X=C:\\ABSENT\r\n"
      // WININIT.EXE runs in real mode: a long name leads nowhere, its 8.3 name does.
      "NUL=C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD\r\n"
      "C:\\WINDOWS\\Long Name.OLD=C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD\r\n"
      "C:\\WINDOWS\\" +
          overlong +
          "=C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD\r\n"
          "C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD\r\n"
          "NUL=C:\\PROGRA~1\\ORVANTA\\WIN_9X\\OVAUDIO.VXD\r\n");
  // Windows 9x has no pending-rename list of its own.
  EXPECT_FALSE(files.MoveFile("C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD", std::nullopt,
                              win::MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_CALL_NOT_IMPLEMENTED);
  machine.Restart();
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD"), "old driver");
  EXPECT_EQ(files.Find("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD"), nullptr);
  EXPECT_EQ(files.Find("C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL"), nullptr);
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD"), "older");
  EXPECT_EQ(files.Find("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD"), nullptr);
  EXPECT_EQ(files.Find("C:\\WINDOWS\\WININIT.INI"), nullptr);
  EXPECT_NE(files.Find("C:\\WINDOWS\\WININIT.BAK"), nullptr);
  EXPECT_EQ(
      Texts(machine, "restart"),
      (std::vector<std::string>{
          "Windows restarts", "WININIT.INI line 7 is longer than 255 characters: passed over",
          "WININIT.INI line 8 \"C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD\" has no \"=\": passed over",
          "renamed C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD",
          "deleted C:\\WINDOWS\\SYSTEM\\SPHERIX.DLL",
          "could not rename C:\\ABSENT -> C:\\X: WININIT.EXE finds no file by the 8.3 path "
          "C:\\ABSENT",
          "could not delete C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD: WININIT.EXE finds no "
          "file by the 8.3 path C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD",
          "could not rename C:\\WINDOWS\\SYSTEM\\SPHERIX.OLD -> C:\\WINDOWS\\Long Name.OLD: "
          "C:\\WINDOWS\\Long Name.OLD is no 8.3 path WININIT.EXE can reach",
          "deleted C:\\PROGRA~1\\ORVANTA\\WIN_9X\\OVAUDIO.VXD"}));
}

// The session manager renames only onto a free name unless the rename was marked to replace,
// makes a read-only target normal to replace it, and deletes neither a read-only file nor a
// folder that is not empty (as MoveFileEx's documentation says of folders, and as DeleteFile's
// says of read-only files).
TEST(Restart, NtReplacesOnlyWhatItWasAskedToReplace) {
  SimMachine machine(WindowsVersion::WinXP);
  auto& files = machine.Files();
  files.WriteFileDirect("C:\\WINDOWS\\system32\\a.dll", "installed a");
  files.WriteFileDirect("C:\\WINDOWS\\system32\\a.new", "new a");
  files.WriteFileDirect("C:\\WINDOWS\\system32\\b.dll", "installed b",
                        win::FILE_ATTRIBUTE_READONLY);
  files.WriteFileDirect("C:\\WINDOWS\\system32\\b.new", "new b");
  files.WriteFileDirect("C:\\WINDOWS\\system32\\c.dll", "read-only c",
                        win::FILE_ATTRIBUTE_READONLY);
  files.WriteFileDirect("C:\\WINDOWS\\Full\\kept.txt", "kept");
  ASSERT_TRUE(files.MoveFile("C:\\WINDOWS\\system32\\a.new", "C:\\WINDOWS\\system32\\a.dll",
                             win::MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(files.MoveFile("C:\\WINDOWS\\system32\\b.new", "C:\\WINDOWS\\system32\\b.dll",
                             win::MOVEFILE_DELAY_UNTIL_REBOOT | win::MOVEFILE_REPLACE_EXISTING));
  ASSERT_TRUE(files.MoveFile("C:\\WINDOWS\\system32\\c.dll", std::nullopt,
                             win::MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(files.MoveFile("C:\\WINDOWS\\Full", std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT));
  machine.Restart();
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\system32\\a.dll"), "installed a");
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\system32\\a.new"), "new a");
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\system32\\b.dll"), "new b");
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\system32\\c.dll"), "read-only c");
  EXPECT_EQ(files.ReadFileDirect("C:\\WINDOWS\\Full\\kept.txt"), "kept");
  EXPECT_EQ(Texts(machine, "restart"),
            (std::vector<std::string>{
                "Windows restarts",
                "could not rename C:\\WINDOWS\\system32\\a.new -> C:\\WINDOWS\\system32\\a.dll: "
                "C:\\WINDOWS\\system32\\a.dll exists and was not to be replaced",
                "renamed C:\\WINDOWS\\system32\\b.new -> C:\\WINDOWS\\system32\\b.dll",
                "could not delete C:\\WINDOWS\\system32\\c.dll: it is read-only",
                "could not delete C:\\WINDOWS\\Full: it is a folder that is not empty"}));
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

// A value someone else wrote wrongly: what can be read is carried out, the rest is said and
// passed over, the value is used up, and the key's other values stay.
TEST(Restart, NtReadsAMalformedPendingListSafely) {
  using namespace std::string_literals;
  const std::string key = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  struct Case {
    const char* name;
    std::uint32_t type;
    std::string data;
    std::vector<std::string> journal;  // after "Windows restarts"
  };
  const std::vector<Case> cases{
      {"odd count",
       win::REG_MULTI_SZ,
       "\\??\\C:\\a.new\0\\??\\C:\\a.dll\0\\??\\C:\\b.new\0\0"s,
       {"PendingFileRenameOperations ends with \"\\??\\C:\\b.new\" without a target: passed over",
        "renamed C:\\a.new -> C:\\a.dll"}},
      {"no final empty string",
       win::REG_MULTI_SZ,
       "\\??\\C:\\a.new\0!\\??\\C:\\a.dll"s,
       {"PendingFileRenameOperations lacks the empty string that ends it: read to the end of its "
        "data",
        "renamed C:\\a.new -> C:\\a.dll"}},
      {"no source",
       win::REG_MULTI_SZ,
       "\0\\??\\C:\\a.dll\0\\??\\C:\\a.new\0\\??\\C:\\z.dll\0\0"s,
       {"a pending rename without a source (target \"\\??\\C:\\a.dll\"): passed over",
        "renamed C:\\a.new -> C:\\z.dll"}},
      {"a string",
       win::REG_SZ,
       "\\??\\C:\\a.new\0"s,
       {"PendingFileRenameOperations is of type 1, not REG_MULTI_SZ: nothing in it is renamed"}},
  };
  for (const Case& c : cases) {
    SimMachine machine(WindowsVersion::Win2000);
    machine.Files().WriteFileDirect("C:\\a.new", "new");
    sim::RegNode* node = machine.Registry().EnsureKey(key);
    node->values.push_back(sim::RegValue{"PendingFileRenameOperations", c.type,
                                         std::vector<std::uint8_t>(c.data.begin(), c.data.end())});
    node->values.push_back(sim::RegValue{"BootExecute", win::REG_MULTI_SZ, {'a', 0, 0}});
    machine.Restart();
    std::vector<std::string> journal{"Windows restarts"};
    journal.insert(journal.end(), c.journal.begin(), c.journal.end());
    EXPECT_EQ(Texts(machine, "restart"), journal) << c.name;
    EXPECT_EQ(machine.Registry().FindValue(key, "PendingFileRenameOperations"), nullptr) << c.name;
    EXPECT_NE(machine.Registry().FindValue(key, "BootExecute"), nullptr) << c.name;
  }
}

// A user who is no administrator reads HKEY_LOCAL_MACHINE but writes nothing below it, so that
// MoveFileExA cannot schedule a rename; Windows 9x knows no such user.
TEST(Users, OnlyAnAdministratorWritesTheMachineKeys) {
  for (WindowsVersion version : {WindowsVersion::WinXP, WindowsVersion::Win98SE}) {
    SimMachine machine(version);
    machine.Services().SetAdministrator(false);
    auto& registry = machine.Registry();
    const bool nt = version == WindowsVersion::WinXP;
    const auto refused = static_cast<std::int32_t>(nt ? win::ERROR_ACCESS_DENIED : 0);
    platform::RegKey key;
    ASSERT_EQ(
        registry.CreateKey(win::HKEY_CURRENT_USER, "Software\\Mine", win::KEY_ALL_ACCESS, key), 0);
    registry.CloseKey(key);
    registry.EnsureKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Present");
    EXPECT_EQ(registry.OpenKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Present", win::KEY_READ, key),
              0);
    registry.CloseKey(key);
    EXPECT_EQ(
        registry.OpenKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Present", win::KEY_ALL_ACCESS, key),
        refused);
    registry.CloseKey(key);
    EXPECT_EQ(
        registry.CreateKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\New", win::KEY_ALL_ACCESS, key),
        refused);
    registry.CloseKey(key);
    EXPECT_EQ(registry.DeleteKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Present"), refused);
    EXPECT_EQ(registry.CreateKey(win::HKEY_CLASSES_ROOT, ".orv", win::KEY_WRITE, key), refused);
    registry.CloseKey(key);
    if (nt) {
      machine.Files().WriteFileDirect("C:\\old.sys", "old");
      EXPECT_FALSE(
          machine.Files().MoveFile("C:\\old.sys", std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT));
      EXPECT_EQ(machine.GetLastError(), win::ERROR_ACCESS_DENIED);
      EXPECT_TRUE(machine.PendingRenames().empty());
    }
  }
}

}  // namespace
