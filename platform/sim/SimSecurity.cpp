#include "platform/sim/SimSecurity.h"

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

bool SimSecurity::OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) {
  (void)access;
  if (core_.Injected(Call::OpenProcessToken)) {
    return false;
  }
  if (!core_.IsNt()) {
    return core_.Fail(win::ERROR_CALL_NOT_IMPLEMENTED);  // Windows 9x has no security tokens
  }
  ++openTokens_;
  token = platform::TokenHandle{0x5000};
  return true;
}

bool SimSecurity::LookupPrivilegeValue(const std::string& name, platform::Luid& luid) {
  if (core_.Injected(Call::LookupPrivilegeValueA)) {
    return false;
  }
  if (!core_.IsNt()) {
    return core_.Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
  }
  if (!EqualsNoCase(name, "SeShutdownPrivilege")) {
    return core_.Fail(1313);  // ERROR_NO_SUCH_PRIVILEGE
  }
  luid = platform::Luid{19, 0};
  return true;
}

bool SimSecurity::AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                                       std::uint32_t attributes) {
  if (core_.Injected(Call::AdjustTokenPrivileges)) {
    return false;
  }
  if (token.value != 0x5000 || openTokens_ == 0) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  if (luid.lowPart == 19 && (attributes & win::SE_PRIVILEGE_ENABLED)) {
    shutdownPrivilege_ = true;
    core_.Record("security", "SeShutdownPrivilege enabled");
  }
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

void SimSecurity::CloseToken(platform::TokenHandle token) {
  if (core_.Injected(Call::CloseHandle)) {
    return;  // the token stays open
  }
  if (token.value == 0x5000 && openTokens_ > 0) {
    --openTokens_;
  }
}

bool SimSecurity::ExitWindows(std::uint32_t flags, std::uint32_t reserved) {
  (void)reserved;
  if (core_.Injected(Call::ExitWindowsEx)) {
    return false;
  }
  // The NT family restarts only for a process that holds the shutdown privilege.
  if (core_.IsNt() && !shutdownPrivilege_) {
    core_.Record("security", "restart refused: no shutdown privilege");
    return core_.Fail(1314);  // ERROR_PRIVILEGE_NOT_HELD
  }
  if (flags & win::EWX_REBOOT) {
    restartRequested_ = true;
    core_.Record("restart", "restart requested");
  } else {
    core_.Record("restart", "shutdown requested (flags " + std::to_string(flags) + ")");
  }
  return true;
}

}  // namespace sim
