// Security and shutdown: the process token's privileges and the restart of Windows.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

bool Win32Security::OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) {
  HANDLE handle = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), access, &handle)) {
    return false;
  }
  token = platform::TokenHandle{reinterpret_cast<std::uintptr_t>(handle)};
  return true;
}

bool Win32Security::LookupPrivilegeValue(const std::string& name, platform::Luid& luid) {
  LUID value{};
  if (!::LookupPrivilegeValueA(nullptr, name.c_str(), &value)) {
    return false;
  }
  luid = platform::Luid{value.LowPart, value.HighPart};
  return true;
}

bool Win32Security::AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                                         std::uint32_t attributes) {
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid.LowPart = luid.lowPart;
  privileges.Privileges[0].Luid.HighPart = luid.highPart;
  privileges.Privileges[0].Attributes = attributes;
  return ::AdjustTokenPrivileges(reinterpret_cast<HANDLE>(token.value), FALSE, &privileges, 0,
                                 nullptr, nullptr) != FALSE;
}

void Win32Security::CloseToken(platform::TokenHandle token) {
  ::CloseHandle(reinterpret_cast<HANDLE>(token.value));
}

bool Win32Security::ExitWindows(std::uint32_t flags, std::uint32_t reserved) {
  return ::ExitWindowsEx(flags, reserved) != FALSE;
}

}  // namespace win32
