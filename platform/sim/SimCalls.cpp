#include "platform/sim/SimCalls.h"

#include <array>

#include "platform/sim/Text.h"

namespace sim {

namespace {

struct Named {
  Call call;
  std::string_view name;
};

constexpr std::array<Named, kCallCount> kNames{{
    {Call::GetVersionExA, "GetVersionExA"},
    {Call::RegOpenKeyExA, "RegOpenKeyExA"},
    {Call::RegCreateKeyExA, "RegCreateKeyExA"},
    {Call::RegQueryValueExA, "RegQueryValueExA"},
    {Call::RegSetValueExA, "RegSetValueExA"},
    {Call::RegEnumKeyExA, "RegEnumKeyExA"},
    {Call::RegEnumValueA, "RegEnumValueA"},
    {Call::RegDeleteValueA, "RegDeleteValueA"},
    {Call::RegDeleteKeyA, "RegDeleteKeyA"},
    {Call::RegCloseKey, "RegCloseKey"},
    {Call::GetPrivateProfileStringA, "GetPrivateProfileStringA"},
    {Call::GetPrivateProfileIntA, "GetPrivateProfileIntA"},
    {Call::WritePrivateProfileStringA, "WritePrivateProfileStringA"},
    {Call::CopyFileA, "CopyFileA"},
    {Call::DeleteFileA, "DeleteFileA"},
    {Call::SetFileAttributesA, "SetFileAttributesA"},
    {Call::GetFileAttributesA, "GetFileAttributesA"},
    {Call::CreateDirectoryA, "CreateDirectoryA"},
    {Call::SetCurrentDirectoryA, "SetCurrentDirectoryA"},
    {Call::GetCurrentDirectoryA, "GetCurrentDirectoryA"},
    {Call::GetWindowsDirectoryA, "GetWindowsDirectoryA"},
    {Call::GetShortPathNameA, "GetShortPathNameA"},
    {Call::GetFullPathNameA, "GetFullPathNameA"},
    {Call::MoveFileExA, "MoveFileExA"},
    {Call::FindFirstFileA, "FindFirstFileA"},
    {Call::FindNextFileA, "FindNextFileA"},
    {Call::FindClose, "FindClose"},
    {Call::fopen, "fopen"},
    {Call::fgets, "fgets"},
    {Call::fread, "fread"},
    {Call::fwrite, "fwrite"},
    {Call::fseek, "fseek"},
    {Call::fflush, "fflush"},
    {Call::WinExec, "WinExec"},
    {Call::CreateProcessA, "CreateProcessA"},
    {Call::WaitForInputIdle, "WaitForInputIdle"},
    {Call::WaitForSingleObject, "WaitForSingleObject"},
    {Call::GetExitCodeProcess, "GetExitCodeProcess"},
    {Call::CloseHandle, "CloseHandle"},
    {Call::FindWindowExA, "FindWindowExA"},
    {Call::SendMessageA, "SendMessageA"},
    {Call::MessageBoxA, "MessageBoxA"},
    {Call::DialogBoxParamA, "DialogBoxParamA"},
    {Call::EndDialog, "EndDialog"},
    {Call::CheckDlgButton, "CheckDlgButton"},
    {Call::IsDlgButtonChecked, "IsDlgButtonChecked"},
    {Call::EnableWindow, "EnableWindow"},
    {Call::IsWindowEnabled, "IsWindowEnabled"},
    {Call::SetWindowTextA, "SetWindowTextA"},
    {Call::GetWindowTextA, "GetWindowTextA"},
    {Call::MoveWindow, "MoveWindow"},
    {Call::GetWindowRect, "GetWindowRect"},
    {Call::AppendMenuA, "AppendMenuA"},
    {Call::LoadIconA, "LoadIconA"},
    {Call::LoadStringA, "LoadStringA"},
    {Call::LoadCursorA, "LoadCursorA"},
    {Call::OpenSCManagerA, "OpenSCManagerA"},
    {Call::CreateServiceA, "CreateServiceA"},
    {Call::OpenServiceA, "OpenServiceA"},
    {Call::StartServiceA, "StartServiceA"},
    {Call::ControlService, "ControlService"},
    {Call::DeleteService, "DeleteService"},
    {Call::CloseServiceHandle, "CloseServiceHandle"},
    {Call::CreateFileA, "CreateFileA"},
    {Call::DeviceIoControl, "DeviceIoControl"},
    {Call::OpenProcessToken, "OpenProcessToken"},
    {Call::LookupPrivilegeValueA, "LookupPrivilegeValueA"},
    {Call::AdjustTokenPrivileges, "AdjustTokenPrivileges"},
    {Call::ExitWindowsEx, "ExitWindowsEx"},
    {Call::mixerGetNumDevs, "mixerGetNumDevs"},
    {Call::mixerGetDevCapsA, "mixerGetDevCapsA"},
    {Call::OpenDriver, "OpenDriver"},
    {Call::SendDriverMessage, "SendDriverMessage"},
    {Call::CloseDriver, "CloseDriver"},
    {Call::PciBiosPresent, "PCI_BIOS_PRESENT"},
    {Call::ReadConfigByte, "READ_CONFIG_BYTE"},
    {Call::ReadConfigWord, "READ_CONFIG_WORD"},
    {Call::WriteConfigWord, "WRITE_CONFIG_WORD"},
    {Call::inpw, "_inpw"},
    {Call::inpd, "_inpd"},
    {Call::outpd, "_outpd"},
}};

// The table is indexed by the call: each row must stand in its call's place.
constexpr bool InCallOrder() {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (static_cast<std::size_t>(kNames[i].call) != i || kNames[i].name.empty()) {
      return false;
    }
  }
  return true;
}
static_assert(InCallOrder(), "every call has its name, in the order of the enumeration");

}  // namespace

std::string_view CallName(Call call) {
  auto index = static_cast<std::size_t>(call);
  return index < kNames.size() ? kNames[index].name : std::string_view("(unknown call)");
}

std::optional<Call> ParseCall(std::string_view text, std::string& error) {
  for (const Named& named : kNames) {
    if (EqualsNoCase(named.name, text)) {
      return named.call;
    }
  }
  // The names that contain the text, or that the text starts with ("CopyFile" for CopyFileA,
  // "RegOpenKeyExW" for RegOpenKeyExA).
  std::string likely;
  std::string upper = Upper(text);
  for (const Named& named : kNames) {
    std::string name = Upper(named.name);
    std::string stem = name.substr(0, name.size() - (name.back() == 'A' ? 1 : 0));
    if (!upper.empty() && (name.find(upper) != std::string::npos ||
                           (stem.size() >= 4 && upper.rfind(stem, 0) == 0))) {
      likely += (likely.empty() ? "" : ", ") + std::string(named.name);
    }
  }
  error = "\"" + std::string(text) + "\" is not a platform call of the simulated machine";
  if (!likely.empty()) {
    error += " (did you mean " + likely + "?)";
  } else {
    error += " (the calls are:";
    for (const Named& named : kNames) {
      error += " " + std::string(named.name);
    }
    error += ")";
  }
  return std::nullopt;
}

}  // namespace sim
