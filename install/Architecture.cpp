#include "install/Architecture.h"

#include "platform/WinConstants.h"

namespace install {

bool AsksForArchitecture(const MainDialogState& state) {
  return (state.isWinME && state.WindowsMEDriverAskUser) ||
         (state.isWin98SE && state.Windows98SEDriverAskUser);
}

bool AskArchitecture(Session& session) {
  int vxdSelected = session.state.useVxdDriver;
  if (session.user.AskDriverArchitecture(vxdSelected) != win::IDOK) {
    session.user.CloseMainWindow();
    return false;
  }
  session.state.useVxdDriver = vxdSelected;
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
