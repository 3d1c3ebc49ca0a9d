#include "install/InstallDriverCommand.h"

#include <exception>

#include "app/Paths.h"
#include "install/Architecture.h"
#include "install/DriverSetupPrograms.h"
#include "install/DriverSigning.h"
#include "install/StagingSteps.h"
#include "install/StateFile.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

// Which driver to install, into `useVxdDriver`; false when the user cancelled the question, in
// which case the main window has been closed.
bool ChooseArchitecture(Session& session) {
  MainDialogState& state = session.state;
  if (state.isWin95 || (state.isWin98 && !state.isWin98SE)) {
    state.useVxdDriver = 1;
  }
  if (session.detection.udaMode && state.UDAWindows98Driver && state.isWin98) {
    state.useVxdDriver = 0;
  }
  if (AsksForArchitecture(state)) {
    return AskArchitecture(session);
  }
  TakeArchitectureFromOptions(state);
  return true;
}

// The WDM driver is installed by the disc's driver setup program: staged first on Windows 98
// and 98 SE, started from the disc elsewhere. The program ends here either way.
[[noreturn]] void StartWdmSetup(Session& session) {
  const MainDialogState& state = session.state;
  const char* program = DriverSetupProgram(state.isNT5);
  std::string path = state.sourceDir + program;
  if (state.isWin98) {
    session.commands.StageWdmDriver(session, 0, 0);
    path = app::ShortPathOf(session.platform.files, kWdmStagingFolder);
    app::AppendBackslash(path);
    path += program;
  }
  if (app::FileExists(session.platform.files, path)) {
    StartDriverSetupProgram(session.platform, path, " /DRIVER");
  } else {
    session.platform.ui.ShowMessageBox(
        session.user.MainWindow(),
        state.isNT5 ? "Can not find the setup program for Windows 2000 and XP."
                    : "Can not find the setup program for Windows 98 SE and ME.",
        "Setup", win::MB_OK);
  }
  session.platform.system.ExitProcess(0);
  std::terminate();  // not reached: the process's exit never returns
}

// The restart offer, then the main window ends as if its OK button had been pressed; within
// the combined command neither happens.
void OfferRestartAndEnd(Session& session) {
  session.user.OfferRestart();
  session.user.EndMainWindow(win::IDOK);
}

}  // namespace

void OnInstallDriver(Session& session) {
  MainDialogState& state = session.state;
  if (state.isNT4) {
    session.commands.InstallNt4Driver(session);
    if (state.combinedInstall) {
      NoteRestartPending(session.platform);
    } else {
      OfferRestartAndEnd(session);
    }
    return;
  }
  platform::Dialogs& dialogs = session.platform.dialogs;
  dialogs.SetWaitCursor(true);
  RemoveDriverSigningEntries(session.platform.registry);
  if (!ChooseArchitecture(session)) {
    dialogs.SetWaitCursor(false);
    return;
  }
  if (state.useVxdDriver == 0) {
    StartWdmSetup(session);
  }
  session.commands.StageVxdDriver(session);
  if (!state.combinedInstall) {
    OfferRestartAndEnd(session);
  }
  dialogs.SetWaitCursor(false);
}

}  // namespace install
