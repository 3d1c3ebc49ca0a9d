#include <cstdlib>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

bool Win32System::GetVersion(platform::OsVersion& result) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  if (!::GetVersionExA(&info)) {
    return false;
  }
  result.majorVersion = info.dwMajorVersion;
  result.minorVersion = info.dwMinorVersion;
  result.buildNumber = info.dwBuildNumber;
  result.platformId = info.dwPlatformId;
  result.csdVersion = info.szCSDVersion;
  return true;
}

std::uint32_t Win32System::GetLastError() {
  return ::GetLastError();
}

void Win32System::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

std::uint32_t Win32System::SleepEx(std::uint32_t milliseconds, bool alertable) {
  return ::SleepEx(milliseconds, alertable ? TRUE : FALSE);
}

void Win32System::ExitProcess(int exitCode) {
  std::exit(exitCode);
}

int Win32System::ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                                const std::string& caption, std::uint32_t type) {
  return ::MessageBoxA(reinterpret_cast<HWND>(owner.value), text.c_str(), caption.c_str(), type);
}

Win32Platform::Win32Platform(std::string programPath, std::string arguments)
    : system_(std::move(programPath), std::move(arguments)), platform_{system_,    registry_,
                                                                       profiles_,  files_,
                                                                       processes_, system_,
                                                                       dialogs_,   services_,
                                                                       hardware_,  multimedia_,
                                                                       security_} {}

bool RunningUnderWine() {
  HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace win32
