#include "apps/ApplicationSuite.h"

#include <exception>
#include <optional>

#include "app/Paths.h"
#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace apps {

namespace {

constexpr std::uint32_t kWaitStepMs = 1000;
constexpr std::uint32_t kUninstallBuffer = 260;

bool CloseWindow(platform::Processes& processes, const char* title) {
  platform::WindowHandle window = processes.FindTopLevelWindow(title);
  if (window.IsNull()) {
    return false;
  }
  processes.SendWindowMessage(window, win::WM_CLOSE, 0, 0);
  return true;
}

// The suite's programs hold its files open: they are closed before anything is replaced.
void CloseSuite(platform::Platform& platform, const app::WindowsClass& windows) {
  if (CloseWindow(platform.processes, "AudioShelf")) {
    platform.system.Sleep(500);
  } else {
    for (const char* title : {"CD Player", "MIDI Player", "MP3 Player"}) {
      CloseWindow(platform.processes, title);
    }
  }
  if (windows.isNT4) {
    CloseWindow(platform.processes, "Mixer");
  }
  platform.system.Sleep(500);
}

// The uninstaller of an earlier suite, run with " -a" and waited for until it has ended.
void UninstallEarlierSuite(platform::Platform& platform) {
  std::optional<app::ScopedKey> key;
  for (const char* path : {"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex "
                           "Applications",
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex WinNT "
                           "Applications"}) {
    key.emplace(platform.registry, win::HKEY_LOCAL_MACHINE, path, win::KEY_QUERY_VALUE);
    if (key->IsOpen()) {
      break;
    }
    key.reset();
  }
  if (!key) {
    return;
  }
  std::optional<std::string> command = app::ReadRegText(
      platform.registry, key->Get(), "InstallShieldUninstallString", kUninstallBuffer);
  if (!command) {
    command = app::ReadRegText(platform.registry, key->Get(), "UninstallString", kUninstallBuffer);
  }
  // The command is held in 260 characters, " -a" included: one that does not fit is not cut
  // into some other command, it is not started at all.
  if (!command || command->size() + 3 >= kUninstallBuffer) {
    return;
  }
  // The uninstaller is waited for however long it runs: the new suite must not start over it.
  // Its program is quoted when the registry has it bare with a blank in its path, so that
  // Windows never takes "C:\Program.exe" for "C:\Program Files\...".
  platform::ProcessHandle uninstaller =
      platform.processes.StartProcess(app::WithProgramQuoted(*command) + " -a", win::SW_SHOW);
  // The wait is on the process itself: an uninstaller that exits with code 259 reads as
  // STILL_ACTIVE, but has ended. A start that failed ends the wait at once.
  while (platform.processes.WaitForProcess(uninstaller, kWaitStepMs) == win::WAIT_TIMEOUT) {
  }
  if (!uninstaller.IsNull()) {
    platform.processes.CloseProcess(uninstaller);
  }
}

}  // namespace

std::vector<std::string> SuiteSetupCandidates(const app::WindowsClass& windows,
                                              const app::InstallOptions& options) {
  const bool vxd = windows.isWin95 || (windows.isWin98 && !windows.isWin98SE) ||
                   (windows.isWin98SE && options.Windows98SEDriver == 0) ||
                   (windows.isWinME && options.WindowsMEDriver == 0);
  const bool wdm = (windows.isWin98SE && options.Windows98SEDriver != 0) ||
                   (windows.isWinME && options.WindowsMEDriver != 0) || windows.isNT5;
  if (vxd) {
    return {"Win_9x\\app\\Setup.exe", "W95-98\\app\\Setup.exe", "XP-2K-ME\\app\\Setup.exe",
            "Win_ME\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe", "Applications\\Setup.exe"};
  }
  if (wdm) {
    return {"Win_ME\\app\\Setup.exe", "XP-2K-ME\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe",
            "Applications\\Setup.exe"};
  }
  if (windows.isNT4) {
    return {"Win_NT40\\app\\Setup.exe", "NT40\\app\\Setup.exe", "Applications\\Setup.exe"};
  }
  return {};
}

void OnInstallApplications(platform::Platform& platform, const app::WindowsClass& windows,
                           const app::InstallOptions& options, const std::string& sourceDir,
                           platform::WindowHandle owner) {
  platform.dialogs.SetWaitCursor(true);
  CloseSuite(platform, windows);
  UninstallEarlierSuite(platform);

  const std::vector<std::string> candidates = SuiteSetupCandidates(windows, options);
  std::optional<std::string> setup;
  for (const std::string& candidate : candidates) {
    setup = sourceDir + candidate;
    if (app::FileExists(platform.files, *setup)) {
      break;  // the first that exists; with none, the last is tested once more below
    }
  }
  if (setup && app::FileExists(platform.files, *setup)) {
    platform::ProcessHandle started =
        platform.processes.StartProcess(app::ProgramOnCommandLine(*setup), win::SW_SHOW);
    if (!started.IsNull()) {
      platform.processes.CloseProcess(started);
    }
  } else {
    platform.ui.ShowMessageBox(owner, "Can not find the Sonavex Applications setup program.",
                               "Setup", win::MB_OK);
  }
  platform.system.ExitProcess(0);
  std::terminate();  // not reached: the process's exit never returns
}

}  // namespace apps
