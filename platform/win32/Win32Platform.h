// The real backend: every platform operation is the Win32 call of the same name.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace win32 {

class Win32System : public platform::System, public platform::Ui {
 public:
  Win32System(std::string programPath, std::string arguments)
      : programPath_(std::move(programPath)), arguments_(std::move(arguments)) {}
  bool GetVersion(platform::OsVersion& result) override;
  std::uint32_t GetLastError() override;
  std::string ProgramPath() override { return programPath_; }
  std::string& CommandArguments() override { return arguments_; }
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t SleepEx(std::uint32_t milliseconds, bool alertable) override;
  [[noreturn]] void ExitProcess(int exitCode) override;
  int ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                     const std::string& caption, std::uint32_t type) override;

 private:
  std::string programPath_;
  std::string arguments_;
};

class Win32Registry : public platform::Registry {
 public:
  std::int32_t OpenKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                       platform::RegKey& result) override;
  std::int32_t CreateKey(platform::RegKey parent, const std::string& subKey, std::uint32_t access,
                         platform::RegKey& result, std::uint32_t* disposition) override;
  std::int32_t QueryValue(platform::RegKey key, const std::string& name, std::uint32_t capacity,
                          platform::RegData& result) override;
  std::int32_t SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                       std::string& name) override;
  std::int32_t EnumValue(platform::RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                         std::string& name, std::uint32_t* type) override;
  std::int32_t DeleteValue(platform::RegKey key, const std::string& name) override;
  std::int32_t DeleteKey(platform::RegKey key, const std::string& subKey) override;
  std::int32_t CloseKey(platform::RegKey key) override;
};

class Win32Profiles : public platform::Profiles {
 public:
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultText, std::uint32_t capacity,
                        const std::string& file) override;
  std::uint32_t GetInt(const std::string& section, const std::string& key,
                       std::int32_t defaultValue, const std::string& file) override;
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& file) override;
};

class Win32Files : public platform::Files {
 public:
  bool CopyFile(const std::string& source, const std::string& target, bool failIfExists) override;
  bool DeleteFile(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  std::uint32_t GetAttributes(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool SetCurrentFolder(const std::string& path) override;
  std::uint32_t GetCurrentFolder(std::uint32_t capacity, std::string& result) override;
  std::uint32_t GetWindowsFolder(std::uint32_t capacity, std::string& result) override;
  std::uint32_t GetShortPath(const std::string& longPath, std::uint32_t capacity,
                             std::string& result) override;
  std::uint32_t GetFullPath(const std::string& path, std::uint32_t capacity,
                            std::string& result) override;
  bool MoveFile(const std::string& source, const std::optional<std::string>& target,
                std::uint32_t flags) override;
  platform::FindHandle FindFirst(const std::string& pattern, platform::FindData& result) override;
  bool FindNext(platform::FindHandle handle, platform::FindData& result) override;
  void FindClose(platform::FindHandle handle) override;
  std::unique_ptr<platform::Stream> OpenStream(const std::string& path,
                                               const std::string& mode) override;
};

class Win32Processes : public platform::Processes {
 public:
  std::uint32_t WinExec(const std::string& commandLine, std::uint32_t show) override;
  platform::ProcessHandle StartProcess(const std::string& commandLine, std::uint32_t show) override;
  std::uint32_t WaitForInputIdle(platform::ProcessHandle process,
                                 std::uint32_t milliseconds) override;
  std::uint32_t WaitForProcess(platform::ProcessHandle process,
                               std::uint32_t milliseconds) override;
  bool GetExitCode(platform::ProcessHandle process, std::uint32_t& exitCode) override;
  void CloseProcess(platform::ProcessHandle process) override;
  platform::WindowHandle FindTopLevelWindow(const std::string& title) override;
  std::intptr_t SendWindowMessage(platform::WindowHandle window, std::uint32_t message,
                                  std::uintptr_t wParam, std::intptr_t lParam) override;
};

class Win32Services : public platform::Services {
 public:
  platform::ServiceHandle OpenServiceManager(std::uint32_t access) override;
  platform::ServiceHandle CreateService(platform::ServiceHandle manager,
                                        const platform::ServiceConfig& config) override;
  platform::ServiceHandle OpenService(platform::ServiceHandle manager, const std::string& name,
                                      std::uint32_t access) override;
  bool StartService(platform::ServiceHandle service) override;
  bool ControlService(platform::ServiceHandle service, std::uint32_t control) override;
  bool DeleteService(platform::ServiceHandle service) override;
  bool CloseServiceHandle(platform::ServiceHandle handle) override;
  platform::DeviceHandle OpenDevice(const std::string& path, std::uint32_t access) override;
  bool DeviceIoControl(platform::DeviceHandle device, std::uint32_t code,
                       const std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& output,
                       std::uint32_t& bytesReturned) override;
  bool CloseDevice(platform::DeviceHandle device) override;
};

class Win32Hardware : public platform::Hardware {
 public:
  bool PciInstallationCheck() override;
  std::uint8_t PciReadConfigByte(std::uint8_t bus, std::uint8_t deviceFunction,
                                 std::uint16_t offset) override;
  std::uint16_t PciReadConfigWord(std::uint8_t bus, std::uint8_t deviceFunction,
                                  std::uint16_t offset) override;
  void PciWriteConfigWord(std::uint8_t bus, std::uint8_t deviceFunction, std::uint16_t offset,
                          std::uint16_t value) override;
  std::uint16_t PortRead16(std::uint16_t port) override;
  std::uint32_t PortRead32(std::uint16_t port) override;
  void PortWrite32(std::uint16_t port, std::uint32_t value) override;
};

class Win32Dialogs : public platform::Dialogs {
 public:
  int DoModal(int templateId, platform::WindowHandle owner,
              platform::DialogEvents& events) override;
  void EndDialog(platform::WindowHandle dialog, int result) override;
  void SendClose(platform::WindowHandle dialog) override;
  void CheckButton(platform::WindowHandle dialog, int id, int state) override;
  int IsButtonChecked(platform::WindowHandle dialog, int id) override;
  void EnableControl(platform::WindowHandle dialog, int id, bool enable) override;
  bool IsControlEnabled(platform::WindowHandle dialog, int id) override;
  bool IsWindowEnabled(platform::WindowHandle window) override;
  void SetWindowText(platform::WindowHandle window, const std::string& text) override;
  std::string GetText(platform::WindowHandle dialog, int id, std::uint32_t capacity) override;
  void MoveWindow(platform::WindowHandle dialog, int id, int x, int y, int width,
                  int height) override;
  platform::Rect DesktopRect() override;
  void AppendSystemMenuItem(platform::WindowHandle dialog, std::uint32_t command,
                            const std::string& text) override;
  void SetIcon(platform::WindowHandle dialog, int iconId) override;
  std::string LoadString(int id, std::uint32_t capacity) override;
  void SetWaitCursor(bool on) override;
};

class Win32Security : public platform::Security {
 public:
  bool OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) override;
  bool LookupPrivilegeValue(const std::string& name, platform::Luid& luid) override;
  bool AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                            std::uint32_t attributes) override;
  void CloseToken(platform::TokenHandle token) override;
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;
};

class Win32Multimedia : public platform::Multimedia {
 public:
  std::uint32_t MixerCount() override;
  bool MixerProductName(std::uint32_t index, std::string& productName) override;
  platform::DriverHandle OpenDriver(const std::string& path) override;
  std::intptr_t SendDriverMessage(platform::DriverHandle driver, std::uint32_t message,
                                  std::intptr_t param1, std::intptr_t param2) override;
  void CloseDriver(platform::DriverHandle driver) override;
};

// All services of the real machine, for the process's whole life.
class Win32Platform {
 public:
  Win32Platform(std::string programPath, std::string arguments);
  platform::Platform& Platform() { return platform_; }

 private:
  Win32System system_;
  Win32Registry registry_;
  Win32Profiles profiles_;
  Win32Files files_;
  Win32Processes processes_;
  Win32Services services_;
  Win32Hardware hardware_;
  Win32Dialogs dialogs_;
  Win32Security security_;
  Win32Multimedia multimedia_;
  platform::Platform platform_;
};

// True when this process runs under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();

}  // namespace win32
