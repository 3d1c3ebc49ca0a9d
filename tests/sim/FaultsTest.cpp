// Faults on demand: the calls by name, how each platform call fails as its Win32 call does, and
// the Nth platform call of any kind failed over a whole run.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "platform/sim/SimMachine.h"
#include "platform/sim/Text.h"
#include "tests/JournalText.h"
#include "ui/CompiledResources.h"
#include "ui/resource.h"

namespace {

using sim::Call;
using sim::SimMachine;

constexpr std::uint32_t kError = 1117;  // ERROR_IO_DEVICE, a failure no call gives by itself

std::vector<std::string> Texts(const SimMachine& machine, const std::string& category) {
  return testsupport::JournalTexts(machine, category);
}

TEST(CallNames, EveryCallHasItsOwnNameThatReadsBack) {
  std::set<std::string> names;
  for (std::size_t i = 0; i < sim::kCallCount; ++i) {
    Call call = static_cast<Call>(i);
    std::string name(sim::CallName(call));
    EXPECT_TRUE(names.insert(sim::Upper(name)).second) << name << " twice";
    std::string error;
    EXPECT_EQ(sim::ParseCall(name, error), call) << name;
    EXPECT_EQ(sim::ParseCall(sim::Upper(name), error), call) << name;
  }
  EXPECT_EQ(sim::CallName(Call::CopyFileA), "CopyFileA");
  EXPECT_EQ(sim::CallName(Call::PciBiosPresent), "PCI_BIOS_PRESENT");
  EXPECT_EQ(sim::CallName(Call::inpd), "_inpd");
}

TEST(CallNames, AnUnknownNameIsRefusedWithTheLikelyOnes) {
  std::string error;
  EXPECT_EQ(sim::ParseCall("CopyFile", error), std::nullopt);
  EXPECT_NE(error.find("\"CopyFile\" is not a platform call"), std::string::npos) << error;
  EXPECT_NE(error.find("did you mean CopyFileA?"), std::string::npos) << error;

  EXPECT_EQ(sim::ParseCall("RegOpenKeyExW", error), std::nullopt);
  EXPECT_NE(error.find("RegOpenKeyExA"), std::string::npos) << error;

  // Nothing alike: the message lists every call.
  EXPECT_EQ(sim::ParseCall("Frobnicate", error), std::nullopt);
  EXPECT_NE(error.find("Frobnicate"), std::string::npos);
  EXPECT_NE(error.find("GetVersionExA"), std::string::npos);
  EXPECT_NE(error.find("_outpd"), std::string::npos);
  EXPECT_EQ(sim::ParseCall("", error), std::nullopt);
}

TEST(Faults, FolderQueriesAndSearchesFailAsOnWindows) {
  SimMachine machine;
  auto& files = machine.Files();
  auto& faults = machine.InjectedFaults();
  faults.FailEvery(Call::GetCurrentDirectoryA, kError);
  faults.FailEvery(Call::GetWindowsDirectoryA, kError);
  std::string result = "untouched";
  EXPECT_EQ(files.GetCurrentFolder(260, result), 0u);
  EXPECT_EQ(files.GetWindowsFolder(260, result), 0u);
  EXPECT_EQ(result, "untouched");
  EXPECT_EQ(machine.GetLastError(), kError);

  // A failed FindNextFileA leaves the search open, and the next call goes on where it was.
  files.WriteFileDirect("C:\\INF\\a.inf", "x");
  files.WriteFileDirect("C:\\INF\\b.inf", "x");
  platform::FindData data;
  faults.FailNth(Call::FindNextFileA, 1, kError);
  platform::FindHandle search = files.FindFirst("C:\\INF\\*.inf", data);
  ASSERT_FALSE(search.IsNull());
  EXPECT_EQ(data.fileName, "a.inf");
  EXPECT_FALSE(files.FindNext(search, data));
  EXPECT_EQ(machine.GetLastError(), kError);
  ASSERT_TRUE(files.FindNext(search, data));
  EXPECT_EQ(data.fileName, "b.inf");
  faults.FailNth(Call::FindClose, 1, kError);
  files.FindClose(search);
  EXPECT_EQ(files.OpenSearchCount(), 1u);
  files.FindClose(search);
  EXPECT_EQ(files.OpenSearchCount(), 0u);
  EXPECT_EQ(Texts(machine, "fault"),
            (std::vector<std::string>{"GetCurrentDirectoryA failed with error 1117",
                                      "GetWindowsDirectoryA failed with error 1117",
                                      "FindNextFileA failed with error 1117",
                                      "FindClose failed with error 1117"}));
}

TEST(Faults, StreamCallsFailAsTheRuntimeDoes) {
  SimMachine machine;
  auto& files = machine.Files();
  auto& faults = machine.InjectedFaults();
  files.WriteFileDirect("C:\\data.txt", "line one\r\nline two\r\n");
  auto stream = files.OpenStream("C:\\data.txt", "r+");
  ASSERT_TRUE(stream);
  faults.FailNth(Call::fgets, 1, kError);
  EXPECT_EQ(stream->GetLine(100), std::nullopt);
  EXPECT_EQ(stream->GetLine(100), std::optional<std::string>("line one\n"));
  faults.FailNth(Call::fread, 1, kError);
  EXPECT_TRUE(stream->Read(4).empty());
  EXPECT_EQ(stream->Tell(), 10);
  faults.FailNth(Call::fseek, 1, kError);
  EXPECT_FALSE(stream->Seek(0, platform::SeekOrigin::Begin));
  EXPECT_EQ(stream->Tell(), 10);
  faults.FailNth(Call::fwrite, 1, kError);
  EXPECT_EQ(stream->Write("LINE", 4), 0u);
  faults.FailNth(Call::fflush, 1, kError);
  EXPECT_FALSE(stream->Flush());
  EXPECT_TRUE(stream->Flush());
  stream.reset();
  EXPECT_EQ(files.ReadFileDirect("C:\\data.txt"), "line one\r\nline two\r\n");
  EXPECT_EQ(Texts(machine, "fault").size(), 5u);

  // The profile engine's own writing is no call of the program: stream faults leave it alone.
  faults.FailEvery(Call::fopen, kError);
  faults.FailEvery(Call::fwrite, kError);
  EXPECT_TRUE(machine.Platform().profiles.WriteString("Section", "Key", "1", "C:\\x.ini"));
  EXPECT_EQ(files.ReadFileDirect("C:\\x.ini"), "[Section]\r\nKey=1\r\n");
  EXPECT_FALSE(files.OpenStream("C:\\x.ini", "rb"));
}

TEST(Faults, AFailedCloseLeavesTheHandleOpen) {
  SimMachine machine(sim::WindowsVersion::WinXP);
  auto& faults = machine.InjectedFaults();
  platform::RegKey key;
  ASSERT_EQ(machine.Registry().OpenKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE", win::KEY_READ, key), 0);
  faults.FailNth(Call::RegCloseKey, 1, kError);
  EXPECT_EQ(machine.Registry().CloseKey(key), static_cast<std::int32_t>(kError));
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 1u);
  EXPECT_EQ(machine.Registry().CloseKey(key), 0);
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 0u);

  machine.Files().WriteFileDirect("C:\\tool.exe", "MZ");
  platform::ProcessHandle process = machine.Processes().StartProcess("C:\\tool.exe", win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  faults.FailNth(Call::CloseHandle, 1, kError);
  machine.Processes().CloseProcess(process);
  EXPECT_EQ(machine.Processes().OpenHandleCount(), 1u);
  machine.Processes().CloseProcess(process);
  EXPECT_EQ(machine.Processes().OpenHandleCount(), 0u);

  platform::Services& services = machine.Platform().services;
  platform::ServiceHandle manager = services.OpenServiceManager(win::SC_MANAGER_ALL_ACCESS);
  ASSERT_FALSE(manager.IsNull());
  faults.FailNth(Call::CloseServiceHandle, 1, kError);
  EXPECT_FALSE(services.CloseServiceHandle(manager));
  EXPECT_EQ(machine.Services().OpenHandleCount(), 1u);
  EXPECT_TRUE(services.CloseServiceHandle(manager));

  platform::TokenHandle token;
  ASSERT_TRUE(machine.Platform().security.OpenProcessToken(win::TOKEN_ADJUST_PRIVILEGES, token));
  faults.FailNth(Call::CloseHandle, 1, kError);
  machine.Platform().security.CloseToken(token);
  EXPECT_EQ(machine.Security().OpenTokenCount(), 1);
  machine.Platform().security.CloseToken(token);
  EXPECT_EQ(machine.Security().OpenTokenCount(), 0);
}

TEST(Faults, ProgramsAndWindowsFailAsOnWindows) {
  SimMachine machine;
  auto& processes = machine.Processes();
  auto& faults = machine.InjectedFaults();
  machine.Files().WriteFileDirect("C:\\tool.exe", "MZ");
  platform::ProcessHandle process = processes.StartProcess("C:\\tool.exe", win::SW_SHOW);
  ASSERT_FALSE(process.IsNull());
  faults.FailNth(Call::WaitForInputIdle, 1, kError);
  EXPECT_EQ(processes.WaitForInputIdle(process, 500), win::WAIT_FAILED);
  EXPECT_EQ(machine.Core().nowMs, 0u);  // a failed wait does not wait
  faults.FailNth(Call::GetExitCodeProcess, 1, kError);
  std::uint32_t code = 12345;
  EXPECT_FALSE(processes.GetExitCode(process, code));
  EXPECT_EQ(machine.GetLastError(), kError);
  EXPECT_TRUE(processes.GetExitCode(process, code));
  EXPECT_EQ(code, win::STILL_ACTIVE);
  processes.CloseProcess(process);

  processes.AddRunningWindow("AudioShelf", "C:\\AudioShelf.exe");
  faults.FailNth(Call::FindWindowExA, 1, kError);
  EXPECT_TRUE(processes.FindTopLevelWindow("AudioShelf").IsNull());
  platform::WindowHandle window = processes.FindTopLevelWindow("AudioShelf");
  ASSERT_FALSE(window.IsNull());
  faults.FailNth(Call::SendMessageA, 1, kError);
  EXPECT_EQ(processes.SendWindowMessage(window, win::WM_CLOSE, 0, 0), 0);
  EXPECT_FALSE(processes.FindTopLevelWindow("AudioShelf").IsNull());
  EXPECT_TRUE(Texts(machine, "window").empty());
}

TEST(Faults, AFailedMessageBoxShowsNothingAndKeepsItsAnswer) {
  SimMachine machine;
  machine.QueueMessageBoxAnswer(win::IDNO);
  machine.InjectedFaults().FailNth(Call::MessageBoxA, 1, win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(machine.ShowMessageBox({}, "Restart?", "Setup", win::MB_YESNO), 0);
  EXPECT_EQ(machine.GetLastError(), win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(machine.ShowMessageBox({}, "Restart?", "Setup", win::MB_YESNO), win::IDNO);
  EXPECT_EQ(Texts(machine, "ui"),
            (std::vector<std::string>{"message box \"Setup\": \"Restart?\" -> No"}));
}

TEST(Faults, FailedHardwareCallsFindNothingAndChangeNothing) {
  SimMachine machine;
  auto& hardware = machine.Hardware();
  auto& faults = machine.InjectedFaults();
  std::string error;
  hardware.AddDevice(*sim::ParsePciDevice("00:1F.5", "8086:2445 coldreset", error));
  const std::uint8_t slot = 0x1F * 8 + 5;
  faults.FailNth(Call::PciBiosPresent, 1, kError);
  EXPECT_FALSE(hardware.PciInstallationCheck());
  EXPECT_TRUE(hardware.PciInstallationCheck());
  faults.FailNth(Call::ReadConfigWord, 1, kError);
  EXPECT_EQ(hardware.PciReadConfigWord(0, slot, 0), 0xFFFF);
  EXPECT_EQ(hardware.PciReadConfigWord(0, slot, 0), 0x8086);
  faults.FailNth(Call::ReadConfigByte, 1, kError);
  EXPECT_EQ(hardware.PciReadConfigByte(0, slot, 0), 0xFF);
  EXPECT_EQ(hardware.PciReadConfigByte(0, slot, 0), 0x86);

  // The global control register: a failed write leaves the link in cold reset.
  faults.FailNth(Call::outpd, 1, kError);
  hardware.PortWrite32(0xE12C, 0x2);
  EXPECT_EQ(hardware.GlobalControl(0, 0x1F, 5), 0u);
  hardware.PortWrite32(0xE12C, 0x2);
  EXPECT_EQ(hardware.GlobalControl(0, 0x1F, 5), 2u);
  faults.FailNth(Call::inpw, 1, kError);
  faults.FailNth(Call::inpd, 1, kError);
  EXPECT_EQ(hardware.PortRead16(0xE07C), 0xFFFF);
  EXPECT_EQ(hardware.PortRead32(0xE12C), 0xFFFFFFFFu);
  EXPECT_EQ(hardware.PortRead16(0xE07C), 0x4F52);
  EXPECT_EQ(hardware.PortRead32(0xE12C), 2u);

  faults.FailNth(Call::WriteConfigWord, 1, kError);
  hardware.PciWriteConfigWord(0, slot, 0x04, 0x0000);
  EXPECT_EQ(hardware.ConfigWord(0, 0x1F, 5, 0x04), 0x0005);
  hardware.PciWriteConfigWord(0, slot, 0x04, 0x0000);
  EXPECT_EQ(hardware.ConfigWord(0, 0x1F, 5, 0x04), 0x0000);
  EXPECT_EQ(Texts(machine, "fault").size(), 7u);
}

TEST(Faults, MultimediaCallsFailAsTheirWinmmCalls) {
  SimMachine machine(sim::WindowsVersion::NT4);
  platform::Multimedia& multimedia = machine.Platform().multimedia;
  auto& faults = machine.InjectedFaults();
  machine.Multimedia().AddMixer("Orvanta PCI Mixer");
  machine.Files().WriteFileDirect("C:\\WINNT\\system32\\ov-pci.dll", "MZ");

  faults.FailNth(Call::mixerGetNumDevs, 1, kError);
  EXPECT_EQ(multimedia.MixerCount(), 0u);
  EXPECT_EQ(multimedia.MixerCount(), 1u);
  faults.FailNth(Call::mixerGetDevCapsA, 1, kError);
  std::string name = "untouched";
  EXPECT_FALSE(multimedia.MixerProductName(0, name));
  EXPECT_EQ(name, "untouched");
  EXPECT_TRUE(multimedia.MixerProductName(0, name));

  // A failed OpenDriver reaches no library; a failed message is not delivered; a failed close
  // leaves the driver open.
  faults.FailNth(Call::OpenDriver, 1, kError);
  EXPECT_TRUE(multimedia.OpenDriver("C:\\WINNT\\system32\\ov-pci.dll").IsNull());
  EXPECT_TRUE(machine.Multimedia().Messages().empty());
  platform::DriverHandle driver = multimedia.OpenDriver("C:\\WINNT\\system32\\ov-pci.dll");
  ASSERT_FALSE(driver.IsNull());
  std::size_t delivered = machine.Multimedia().Messages().size();
  faults.FailNth(Call::SendDriverMessage, 1, kError);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 0);
  EXPECT_EQ(machine.Multimedia().Messages().size(), delivered);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 1);
  faults.FailNth(Call::CloseDriver, 1, kError);
  multimedia.CloseDriver(driver);
  EXPECT_EQ(machine.Multimedia().OpenDriverCount(), 1u);
  multimedia.CloseDriver(driver);
  EXPECT_EQ(machine.Multimedia().OpenDriverCount(), 0u);
  EXPECT_EQ(Texts(machine, "fault").size(), 5u);
}

// Runs `init` when the dialog is up; OK and Cancel get the dialog manager's default.
class Probe : public platform::DialogEvents {
 public:
  explicit Probe(std::function<void(platform::WindowHandle)> init) : init_(std::move(init)) {}
  bool OnInitDialog(platform::WindowHandle dialog) override {
    init_(dialog);
    return true;
  }
  bool OnCommand(platform::WindowHandle, int, int) override { return false; }

 private:
  std::function<void(platform::WindowHandle)> init_;
};

TEST(Faults, DialogCallsFailAsTheirWin32Calls) {
  SimMachine machine;
  std::string error;
  ASSERT_TRUE(machine.Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error));
  platform::Dialogs& dialogs = machine.Platform().dialogs;
  auto& faults = machine.InjectedFaults();
  Probe never([](platform::WindowHandle) { ADD_FAILURE() << "a dialog that failed is shown"; });
  faults.FailNth(Call::DialogBoxParamA, 1, kError);
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, never), -1);
  EXPECT_TRUE(machine.Dialogs().Shown().empty());

  // The same changes, first with every call failing, then with none.
  Probe probe([&](platform::WindowHandle dialog) {
    dialogs.CheckButton(dialog, IDC_ARCH_VXD, 1);
    dialogs.EnableControl(dialog, IDC_ARCH_WDM, false);
    dialogs.SetWindowText(dialog, "Changed");
    dialogs.MoveWindow(dialog, 0, 1, 2, 3, 4);
    dialogs.AppendSystemMenuItem(dialog, 0x10, "About");
    dialogs.SetIcon(dialog, IDR_MAINFRAME);
    dialogs.SendClose(dialog);  // not delivered when it fails: the dialog stays
    dialogs.EndDialog(dialog, 7);
  });
  for (Call call : {Call::CheckDlgButton, Call::EnableWindow, Call::SetWindowTextA,
                    Call::MoveWindow, Call::AppendMenuA, Call::LoadIconA, Call::SendMessageA}) {
    faults.FailEvery(call, kError);
  }
  faults.FailNth(Call::EndDialog, 1, kError);
  machine.Dialogs().Script(IDD_DRIVER_ARCH, {sim::DialogAction::Click(win::IDOK)});
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, probe), win::IDOK);
  faults.Clear();
  // Closed, then ended with another result: the last EndDialog gives the result.
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, probe), 7);
  ASSERT_EQ(machine.Dialogs().Shown().size(), 2u);
  for (bool failed : {true, false}) {
    const sim::DialogSnapshot& shown = machine.Dialogs().Shown()[failed ? 0 : 1];
    EXPECT_EQ(shown.checked.at(IDC_ARCH_VXD), failed ? 0 : 1);
    EXPECT_EQ(shown.enabled.at(IDC_ARCH_WDM), failed);
    EXPECT_EQ(shown.caption == "Changed", !failed);
    EXPECT_EQ(shown.placed.empty(), failed);
    EXPECT_EQ(shown.systemMenu.empty(), failed);
    EXPECT_EQ(shown.icon, failed ? 0 : IDR_MAINFRAME);
  }

  Probe query([&](platform::WindowHandle dialog) {
    dialogs.CheckButton(dialog, IDC_ARCH_WDM, 1);
    faults.FailNth(Call::IsDlgButtonChecked, 1, kError);
    faults.FailNth(Call::IsWindowEnabled, 1, kError);
    EXPECT_EQ(dialogs.IsButtonChecked(dialog, IDC_ARCH_WDM), 0);
    EXPECT_EQ(dialogs.IsButtonChecked(dialog, IDC_ARCH_WDM), 1);
    EXPECT_FALSE(dialogs.IsControlEnabled(dialog, IDC_ARCH_WDM));
    EXPECT_TRUE(dialogs.IsControlEnabled(dialog, IDC_ARCH_WDM));
    dialogs.EndDialog(dialog, 1);
  });
  dialogs.DoModal(IDD_DRIVER_ARCH, {}, query);

  faults.FailNth(Call::LoadStringA, 1, kError);
  EXPECT_EQ(dialogs.LoadString(IDS_ABOUT_SETUP, 256), "");
  EXPECT_EQ(dialogs.LoadString(IDS_ABOUT_SETUP, 256), "&About Setup...");
  faults.FailNth(Call::GetWindowRect, 1, kError);
  EXPECT_EQ(dialogs.DesktopRect().right, 0);
  EXPECT_EQ(dialogs.DesktopRect().right, 1024);
  faults.FailNth(Call::LoadCursorA, 1, kError);
  dialogs.SetWaitCursor(true);
  EXPECT_EQ(Texts(machine, "ui").back().find("cursor"), std::string::npos);
  dialogs.SetWaitCursor(true);
  EXPECT_EQ(Texts(machine, "ui").back(), "wait cursor");
}

TEST(Faults, TheUsersOwnActionsAreNoCallsOfTheProgram) {
  SimMachine machine;
  std::string error;
  ASSERT_TRUE(machine.Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error));
  // Closing a dialog or pressing its Cancel button is the dialog manager's doing: no fault of
  // the program's SendMessageA or EndDialog stops it.
  machine.InjectedFaults().FailEvery(Call::SendMessageA, kError);
  machine.InjectedFaults().FailEvery(Call::EndDialog, kError);
  machine.Dialogs().Script(IDD_RESTART, {sim::DialogAction::Close()});
  machine.Dialogs().Script(IDD_DRIVER_ARCH, {sim::DialogAction::Click(win::IDCANCEL)});
  Probe idle([](platform::WindowHandle) {});
  EXPECT_EQ(machine.Platform().dialogs.DoModal(IDD_RESTART, {}, idle), win::IDCANCEL);
  EXPECT_EQ(machine.Platform().dialogs.DoModal(IDD_DRIVER_ARCH, {}, idle), win::IDCANCEL);
  EXPECT_TRUE(Texts(machine, "fault").empty());
}

// A run of mixed platform calls that do not depend on each other, each reporting whether it
// succeeded.
std::vector<bool> MixedRun(SimMachine& machine) {
  platform::Platform& p = machine.Platform();
  machine.Files().WriteFileDirect("C:\\source.txt", "x");
  platform::RegKey key;
  std::string folder;
  std::vector<bool> results;
  results.push_back(p.files.CreateFolder("C:\\Staging"));
  results.push_back(p.files.GetAttributes("C:\\WINDOWS") != win::INVALID_FILE_ATTRIBUTES);
  results.push_back(p.registry.CreateKey(win::HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvanta",
                                         win::KEY_ALL_ACCESS, key) == 0);
  results.push_back(p.profiles.WriteString("Setup", "Done", "1", "C:\\WINDOWS\\setup.ini"));
  results.push_back(p.files.CopyFile("C:\\source.txt", "C:\\copy.txt", false));
  results.push_back(p.files.GetCurrentFolder(260, folder) != 0);
  results.push_back(p.ui.ShowMessageBox({}, "Done", "Setup", win::MB_OK) == win::IDOK);
  return results;
}

TEST(Faults, TheNthCallOfAnyKindFailsOverAWholeRun) {
  SimMachine counting;
  counting.Files().WriteFileDirect("C:\\before.txt", "x");
  std::uint64_t before = counting.InjectedFaults().TotalCalls();
  std::vector<bool> clean = MixedRun(counting);
  EXPECT_EQ(clean, std::vector<bool>(7, true));
  const std::uint64_t calls = counting.InjectedFaults().TotalCalls() - before;
  EXPECT_EQ(calls, 7u);  // the profile engine's own file writing is not counted

  for (std::uint64_t n = 1; n <= calls; ++n) {
    SimMachine machine;
    // A call made before the fault is added does not count towards N.
    machine.Files().GetAttributes("C:\\WINDOWS");
    machine.InjectedFaults().FailNthCall(n, kError);
    std::vector<bool> results = MixedRun(machine);
    for (std::uint64_t i = 1; i <= calls; ++i) {
      EXPECT_EQ(results[i - 1], i != n) << "call " << i << " when call " << n << " fails";
    }
    EXPECT_EQ(Texts(machine, "fault").size(), 1u) << n;
    EXPECT_EQ(machine.InjectedFaults().TotalCalls(), calls + 1);
  }
}

}  // namespace
