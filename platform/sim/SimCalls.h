// The platform calls of the simulated machine, each named after the Win32 call it stands for
// (or the C runtime function, or the PCI BIOS function): the calls a fault can be injected
// into. The journal names them; the lab tool reads them from its command line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

enum class Call : std::uint8_t {
  // Version
  GetVersionExA,
  // Registry
  RegOpenKeyExA,
  RegCreateKeyExA,
  RegQueryValueExA,
  RegSetValueExA,
  RegEnumKeyExA,
  RegEnumValueA,
  RegDeleteValueA,
  RegDeleteKeyA,
  RegCloseKey,
  // Profile files
  GetPrivateProfileStringA,
  GetPrivateProfileIntA,
  WritePrivateProfileStringA,
  // Files and folders
  CopyFileA,
  DeleteFileA,
  SetFileAttributesA,
  GetFileAttributesA,
  CreateDirectoryA,
  SetCurrentDirectoryA,
  GetCurrentDirectoryA,
  GetWindowsDirectoryA,
  GetShortPathNameA,
  GetFullPathNameA,
  MoveFileExA,
  FindFirstFileA,
  FindNextFileA,
  FindClose,
  // The C runtime's buffered streams
  fopen,
  fgets,
  fread,
  fwrite,
  fseek,
  fflush,
  // Processes and windows
  WinExec,
  CreateProcessA,
  WaitForInputIdle,
  WaitForSingleObject,
  GetExitCodeProcess,
  CloseHandle,  // also of devices and security tokens
  FindWindowExA,
  SendMessageA,  // also WM_CLOSE to a dialog
  // Message boxes and dialogs
  MessageBoxA,
  DialogBoxParamA,
  EndDialog,
  CheckDlgButton,
  IsDlgButtonChecked,
  EnableWindow,
  IsWindowEnabled,
  SetWindowTextA,
  GetWindowTextA,
  MoveWindow,
  GetWindowRect,
  AppendMenuA,
  LoadIconA,
  LoadStringA,
  LoadCursorA,
  // Services and devices
  OpenSCManagerA,
  CreateServiceA,
  OpenServiceA,
  StartServiceA,
  ControlService,
  DeleteService,
  CloseServiceHandle,
  CreateFileA,
  DeviceIoControl,
  // Security and shutdown
  OpenProcessToken,
  LookupPrivilegeValueA,
  AdjustTokenPrivileges,
  ExitWindowsEx,
  // Multimedia
  mixerGetNumDevs,
  mixerGetDevCapsA,
  OpenDriver,
  SendDriverMessage,
  CloseDriver,
  // PCI BIOS functions (interrupt 1Ah) and the C runtime's port instructions
  PciBiosPresent,
  ReadConfigByte,
  ReadConfigWord,
  WriteConfigWord,
  inpw,
  inpd,
  outpd,
};

inline constexpr std::size_t kCallCount = static_cast<std::size_t>(Call::outpd) + 1;

// "CopyFileA", "fopen", "PCI_BIOS_PRESENT", "_inpw"...
std::string_view CallName(Call call);
// The call of a name, compared ignoring case; nothing when there is no such call, with a
// message that says so and names the calls meant most likely.
std::optional<Call> ParseCall(std::string_view text, std::string& error);

}  // namespace sim
