#include "install/CombinedInstall.h"

#include <optional>
#include <string>

#include "app/Paths.h"
#include "install/Architecture.h"
#include "install/DriverSigning.h"
#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

bool PrecopyCabsPresent(platform::Files& files) {
  std::optional<std::string> windows = app::WindowsFolderWithBackslash(files);
  if (!windows) {
    return false;
  }
  int found = 0;
  ForEachFile(
      files, *windows + "System\\Precopy\\",
      [&found](const std::string& name) {
        std::string upper = name;
        for (char& c : upper) {
          if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
          }
        }
        for (const char* cabinet : {"DRIVER11.CAB", "DRIVER12.CAB", "DRIVER14.CAB", "DRIVER15.CAB",
                                    "DRIVER17.CAB", "DRIVER20.CAB"}) {
          found += upper == cabinet ? 1 : 0;
        }
      },
      "*.cab");
  return found >= 6;
}

void OnCombinedInstall(Session& session) {
  MainDialogState& state = session.state;
  platform::Dialogs& dialogs = session.platform.dialogs;
  dialogs.SetWaitCursor(true);
  if (!state.isNT4) {
    RemoveDriverSigningEntries(session.platform.registry);
  }
  state.combinedInstall = 1;
  if (state.isWin95 || (state.isWin98 && !state.isWin98SE)) {
    state.useVxdDriver = 1;
  }
  if (AsksForArchitecture(state)) {
    if (!AskArchitecture(session)) {
      dialogs.SetWaitCursor(false);
      return;
    }
  } else {
    TakeArchitectureFromOptions(state);
  }
  if (state.useVxdDriver || state.isNT4) {
    // The install-driver command chooses again; it returns here unless it ends the program, and
    // a cancel there ends this command too.
    session.commands.OnInstallDriver(session);
    if (state.architectureCancelled) {
      dialogs.SetWaitCursor(false);
      return;
    }
  } else {
    state.precopyCabsPresent = 0;
    if (state.isWin98) {
      state.precopyCabsPresent = PrecopyCabsPresent(session.platform.files) ? 1 : 0;
    }
    session.commands.StageWdmDriver(session, 1, 0);
  }
  session.commands.OnInstallApplications(session);
  dialogs.SetWaitCursor(false);
}

}  // namespace install
