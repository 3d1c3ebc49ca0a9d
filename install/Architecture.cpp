#include "install/Architecture.h"

#include "platform/WinConstants.h"

namespace install {

bool AsksForArchitecture(const MainDialogState& state) {
  return (state.isWinME && state.WindowsMEDriverAskUser) ||
         (state.isWin98SE && state.Windows98SEDriverAskUser);
}

bool AskArchitecture(Session& session) {
  int vxdSelected = session.state.useVxdDriver;
  MainDialogState& state = session.state;
  if (session.user.AskDriverArchitecture(vxdSelected) != win::IDOK) {
    state.architectureCancelled = 1;
    session.user.CloseMainWindow();
    return false;
  }
  state.useVxdDriver = vxdSelected;
  // The application suite installed in the same run is the one for the driver chosen here, not
  // the one the option file names.
  const int wdm = vxdSelected ? 0 : 1;
  if (state.isWin98SE) {
    state.Windows98SEDriver = wdm;
  }
  if (state.isWinME) {
    state.WindowsMEDriver = wdm;
  }
  return true;
}

void TakeArchitectureFromOptions(MainDialogState& state) {
  if (state.isWinME) {
    state.useVxdDriver = state.WindowsMEDriver == 0 ? 1 : 0;
  }
  if (state.isWin98SE) {
    state.useVxdDriver = state.Windows98SEDriver == 0 ? 1 : 0;
  }
}

}  // namespace install
