// What an install command works on: the main dialog's working state, the context and detection
// that start-up settled, the platform, and the window it runs in, through which it asks the user
// and which owns its message boxes. The user interface implements the window side; tests answer
// with scripts.
#pragma once

#include "app/InstallContext.h"
#include "install/MainDialogState.h"
#include "platform/Platform.h"

namespace install {

class UserPrompts {
 public:
  virtual ~UserPrompts() = default;
  // The main window: the owner of the commands' message boxes.
  virtual platform::WindowHandle MainWindow() = 0;
  // Closes the main window as its close box does (WM_CLOSE: it ends with IDCANCEL), which ends
  // the program once the command returns.
  virtual void CloseMainWindow() = 0;
  // Ends the main window with `result`, as its OK button would; the program then ends.
  virtual void EndMainWindow(int result) = 0;
  // The driver architecture question, owned by the main window and preset with `vxdSelected`
  // (1 the VxD driver, 0 the WDM driver). Returns how it ended (IDOK, IDCANCEL); on IDOK
  // `vxdSelected` holds the user's choice.
  virtual int AskDriverArchitecture(int& vxdSelected) = 0;
  // The restart offer, owned by the main window; restarts Windows when the user chooses so.
  virtual void OfferRestart() = 0;
};

class Commands;

struct Session {
  platform::Platform& platform;
  MainDialogState& state;
  const app::InstallContext& context;
  const app::DetectionState& detection;
  UserPrompts& user;
  // The commands themselves, for a command that runs another (the combined install).
  Commands& commands;
};

// The commands the main window's buttons and the command-line routes run, and the installers
// they hand each other the work through.
class Commands {
 public:
  virtual ~Commands() = default;
  virtual void OnInstallDriver(Session& session) = 0;
  virtual void OnInstallApplications(Session& session) = 0;
  virtual void OnCombinedInstall(Session& session) = 0;
  virtual void StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions) = 0;
  virtual void StageVxdDriver(Session& session) = 0;
  virtual void InstallNt4Driver(Session& session) = 0;
};

}  // namespace install
