// The journaling layer: the platform interface over another platform (the real machine or the
// simulated one), forwarding every call and writing to a journal what changed: registry keys
// and values, files copied, deleted, moved and written, profile entries, programs started,
// windows sent messages, dialogs with the commands they got and message boxes with their
// answers, waits, services and device requests, driver messages, PCI and port writes, restart
// requests and the process's exit, in the words of the simulated machine's own journal. Calls
// that change nothing are forwarded unrecorded, and a call that fails is recorded as failed.
//
// The layer asks the platform below a few questions of its own (a full path, a file's
// attributes, a profile entry before it is written, the subkeys of a key about to be deleted,
// a dialog's texts), always before the call it records, so that the last error the program
// sees is the call's own.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/journal/Journal.h"

namespace journal {

// What every part of the layer shares: the platform below and the journal.
struct Below {
  platform::Platform& platform;
  Journal& journal;

  // The path completed as the system completes it; as given when it cannot be.
  std::string FullPath(const std::string& path);
  // A failed call: "CopyFileA "a" -> "b" failed with error 5".
  void Failed(const std::string& call, const std::string& what, std::uint32_t error);
};

class JournalSystem : public platform::System, public platform::Ui {
 public:
  explicit JournalSystem(Below below) : below_(below) {}
  bool GetVersion(platform::OsVersion& result) override;
  std::uint32_t GetLastError() override;
  std::string ProgramPath() override;
  std::string& CommandArguments() override;
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t SleepEx(std::uint32_t milliseconds, bool alertable) override;
  [[noreturn]] void ExitProcess(int exitCode) override;
  int ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                     const std::string& caption, std::uint32_t type) override;

 private:
  Below below_;
};

class JournalRegistry : public platform::Registry {
 public:
  explicit JournalRegistry(Below below) : below_(below) {}
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

 private:
  // The path of an open key: the root it was opened under and the subkeys named since.
  std::string PathOf(platform::RegKey key) const;
  std::string PathBelow(platform::RegKey key, const std::string& subKey) const;
  // Every key below an open key, counted through the platform below.
  std::size_t CountSubkeys(platform::RegKey key);

  Below below_;
  std::map<std::uintptr_t, std::string> paths_;
};

class JournalProfiles : public platform::Profiles {
 public:
  explicit JournalProfiles(Below below) : below_(below) {}
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& defaultText, std::uint32_t capacity,
                        const std::string& file) override;
  std::uint32_t GetInt(const std::string& section, const std::string& key,
                       std::int32_t defaultValue, const std::string& file) override;
  bool WriteString(const std::string& section, const std::optional<std::string>& key,
                   const std::optional<std::string>& value, const std::string& file) override;

 private:
  Below below_;
};

class JournalFiles : public platform::Files {
 public:
  explicit JournalFiles(Below below) : below_(below) {}
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

 private:
  Below below_;
};

class JournalProcesses : public platform::Processes {
 public:
  explicit JournalProcesses(Below below) : below_(below) {}
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

 private:
  Below below_;
  std::map<std::uintptr_t, std::string> titles_;  // of the windows found
};

class JournalDialogs : public platform::Dialogs {
 public:
  explicit JournalDialogs(Below below) : below_(below) {}
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

 private:
  class Events;
  // "dialog 102 "Setup"", as the dialog is named in the journal.
  std::string NameOf(platform::WindowHandle dialog) const;

  Below below_;
  std::map<std::uintptr_t, std::string> names_;  // "dialog 102 "Setup"" of each open dialog
  std::map<std::uintptr_t, int> templates_;
  bool waitCursor_ = false;
};

class JournalServices : public platform::Services {
 public:
  explicit JournalServices(Below below) : below_(below) {}
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

 private:
  std::string ServiceName(platform::ServiceHandle service) const;

  Below below_;
  std::map<std::uintptr_t, std::string> services_;
  std::map<std::uintptr_t, std::string> devices_;
};

class JournalHardware : public platform::Hardware {
 public:
  explicit JournalHardware(Below below) : below_(below) {}
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

 private:
  Below below_;
};

class JournalMultimedia : public platform::Multimedia {
 public:
  explicit JournalMultimedia(Below below) : below_(below) {}
  std::uint32_t MixerCount() override;
  bool MixerProductName(std::uint32_t index, std::string& productName) override;
  platform::DriverHandle OpenDriver(const std::string& path) override;
  std::intptr_t SendDriverMessage(platform::DriverHandle driver, std::uint32_t message,
                                  std::intptr_t param1, std::intptr_t param2) override;
  void CloseDriver(platform::DriverHandle driver) override;

 private:
  Below below_;
  std::map<std::uintptr_t, std::string> drivers_;
};

class JournalSecurity : public platform::Security {
 public:
  explicit JournalSecurity(Below below) : below_(below) {}
  bool OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) override;
  bool LookupPrivilegeValue(const std::string& name, platform::Luid& luid) override;
  bool AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                            std::uint32_t attributes) override;
  void CloseToken(platform::TokenHandle token) override;
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;

 private:
  Below below_;
  std::map<std::pair<std::uint32_t, std::int32_t>, std::string> privileges_;
};

// Every service of the platform below, journaled.
class JournalingPlatform {
 public:
  JournalingPlatform(platform::Platform& below, Journal& journal);
  JournalingPlatform(const JournalingPlatform&) = delete;
  JournalingPlatform& operator=(const JournalingPlatform&) = delete;
  platform::Platform& Platform() { return platform_; }

 private:
  JournalSystem system_;
  JournalRegistry registry_;
  JournalProfiles profiles_;
  JournalFiles files_;
  JournalProcesses processes_;
  JournalDialogs dialogs_;
  JournalServices services_;
  JournalHardware hardware_;
  JournalMultimedia multimedia_;
  JournalSecurity security_;
  platform::Platform platform_;
};

}  // namespace journal
