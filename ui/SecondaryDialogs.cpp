#include "ui/SecondaryDialogs.h"

namespace ui {

bool DriverArchDialog::OnInit() {
  Check(IDC_ARCH_VXD, vxdSelected);
  Check(IDC_ARCH_WDM, vxdSelected == 0 ? 1 : 0);
  return true;
}

bool DriverArchDialog::OnClicked(int id) {
  if (id == IDC_ARCH_VXD) {
    vxdSelected = 1;
    return true;
  }
  if (id == IDC_ARCH_WDM) {
    vxdSelected = 0;
    return true;
  }
  return false;
}

bool RestartDialog::OnInit() {
  Check(IDC_RESTART_YES, 1);
  Check(IDC_RESTART_NO, 0);
  return true;
}

bool RestartDialog::OnClicked(int id) {
  if (id != win::IDOK) {
    return false;
  }
  if (IsChecked(IDC_RESTART_YES)) {
    // Neither result is looked at: the setup ends either way.
    EnablePrivilege(platform_, "SeShutdownPrivilege");
    platform_.security.ExitWindows(win::EWX_REBOOT, 0);
  }
  EndDialog(win::IDOK);
  return true;
}

int EnablePrivilege(platform::Platform& platform, const std::string& name) {
  platform::TokenHandle token;
  if (!platform.security.OpenProcessToken(win::TOKEN_ADJUST_PRIVILEGES, token)) {
    return platform.system.GetLastError() == win::ERROR_CALL_NOT_IMPLEMENTED ? 1 : 0;
  }
  platform::Luid luid;
  if (!platform.security.LookupPrivilegeValue(name, luid)) {
    platform.security.CloseToken(token);
    return 0;
  }
  bool adjusted = platform.security.AdjustTokenPrivilege(token, luid, win::SE_PRIVILEGE_ENABLED);
  platform.security.CloseToken(token);
  return adjusted ? 1 : 0;
}

}  // namespace ui
