#include <vector>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

std::uint32_t Win32Processes::WinExec(const std::string& commandLine, std::uint32_t show) {
  return ::WinExec(commandLine.c_str(), show);
}

platform::ProcessHandle Win32Processes::StartProcess(const std::string& commandLine,
                                                     std::uint32_t show) {
  std::vector<char> command(commandLine.begin(), commandLine.end());
  command.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return {};
  }
  ::CloseHandle(info.hThread);
  return platform::ProcessHandle{reinterpret_cast<std::uintptr_t>(info.hProcess)};
}

std::uint32_t Win32Processes::WaitForInputIdle(platform::ProcessHandle process,
                                               std::uint32_t milliseconds) {
  return ::WaitForInputIdle(reinterpret_cast<HANDLE>(process.value), milliseconds);
}

std::uint32_t Win32Processes::WaitForProcess(platform::ProcessHandle process,
                                             std::uint32_t milliseconds) {
  return ::WaitForSingleObject(reinterpret_cast<HANDLE>(process.value), milliseconds);
}

bool Win32Processes::GetExitCode(platform::ProcessHandle process, std::uint32_t& exitCode) {
  DWORD code = 0;
  if (!::GetExitCodeProcess(reinterpret_cast<HANDLE>(process.value), &code)) {
    return false;
  }
  exitCode = code;
  return true;
}

void Win32Processes::CloseProcess(platform::ProcessHandle process) {
  ::CloseHandle(reinterpret_cast<HANDLE>(process.value));
}

platform::WindowHandle Win32Processes::FindTopLevelWindow(const std::string& title) {
  HWND window = ::FindWindowExA(nullptr, nullptr, nullptr, title.c_str());
  return platform::WindowHandle{reinterpret_cast<std::uintptr_t>(window)};
}

std::intptr_t Win32Processes::SendWindowMessage(platform::WindowHandle window,
                                                std::uint32_t message, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
  return ::SendMessageA(reinterpret_cast<HWND>(window.value), message, wParam, lParam);
}

}  // namespace win32
