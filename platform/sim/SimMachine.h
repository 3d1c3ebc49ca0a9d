// A simulated Windows machine behind the platform interface: registry, files, profile files,
// programs and windows, mixer devices and driver libraries, message boxes, a virtual clock, a
// journal of every side effect, faults injected on demand, and a restart that carries out the
// pending renames.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/sim/BootRenames.h"
#include "platform/sim/SimCore.h"
#include "platform/sim/SimDialogs.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimHardware.h"
#include "platform/sim/SimMultimedia.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimProfiles.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimSecurity.h"
#include "platform/sim/SimServices.h"

namespace sim {

enum class WindowsVersion { Win95, Win98, Win98SE, WinME, NT4, Win2000, WinXP };

struct WindowsVersionInfo {
  WindowsVersion version;
  const char* name;  // "95", "98", "98SE", "ME", "NT4", "2000", "XP"
  platform::OsVersion os;
  const char* windowsFolder;
};

// The seven versions the launcher supports, as GetVersionExA reports them.
const std::vector<WindowsVersionInfo>& KnownWindowsVersions();
std::optional<WindowsVersionInfo> FindWindowsVersion(const std::string& name);

class SimMachine : public platform::System, public platform::Ui {
 public:
  // A machine with drive C:, the Windows folder and its usual subfolders.
  explicit SimMachine(WindowsVersion version = WindowsVersion::Win98SE);
  ~SimMachine() override;

  platform::Platform& Platform() { return platform_; }
  SimCore& Core() { return core_; }
  SimRegistry& Registry() { return registry_; }
  SimFileSystem& Files() { return files_; }
  SimProfiles& Profiles() { return profiles_; }
  SimProcesses& Processes() { return processes_; }
  SimHardware& Hardware() { return hardware_; }
  SimServices& Services() { return services_; }
  SimMultimedia& Multimedia() { return multimedia_; }
  SimDialogs& Dialogs() { return dialogs_; }
  SimSecurity& Security() { return security_; }
  sim::Faults& InjectedFaults() { return core_.faults; }
  const std::vector<JournalEntry>& Journal() const { return core_.journal; }

  void SetVersion(const platform::OsVersion& version);
  // The program path and arguments the simulated process starts with.
  void SetCommandLine(const std::string& programPath, const std::string& arguments);
  // Answers to the next message boxes, in order (a box with no answer queued gets IDOK).
  void QueueMessageBoxAnswer(int answer) { messageBoxAnswers_.push_back(answer); }

  // A rename or deletion waiting for the next start.
  struct PendingRename {
    std::string source;
    std::string target;   // empty: the source is deleted
    bool replace = true;  // an existing target is replaced (NT: only when asked to)
  };
  // What the next start will try, in order: the NT pending-rename list, or on Windows 9x every
  // line of WININIT.INI's [rename] section ("target=source", "NUL=source" deletes).
  std::vector<PendingRename> PendingRenames() const;
  // Ends every program and carries out the pending renames as the family does (the session
  // manager: no target replaced unless asked, no read-only file deleted; WININIT.EXE: 8.3 paths
  // only), journalling what fails and what it passes over; the list is then gone.
  void Restart();
  // The power fails during the run that starts now, as the plan says: the run ends in
  // PowerLoss, and the machine is off until PowerOn.
  void PlanPowerLoss(const PowerLossPlan& plan);
  // The power comes back and Windows starts as after Restart; the dialog answers and message
  // box answers of the run that ended are gone with it. With `lostAfterRenames`, the power
  // fails again during the start, after that many of the pending renames: those are done, the
  // list stays for the next start, and the machine is off again.
  void PowerOn(std::optional<std::size_t> lostAfterRenames = std::nullopt);

  // platform::System
  bool GetVersion(platform::OsVersion& result) override;
  std::uint32_t GetLastError() override { return core_.lastError; }
  std::string ProgramPath() override { return programPath_; }
  std::string& CommandArguments() override { return arguments_; }
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t SleepEx(std::uint32_t milliseconds, bool alertable) override;
  [[noreturn]] void ExitProcess(int exitCode) override;

  // platform::Ui
  int ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                     const std::string& caption, std::uint32_t type) override;

 private:
  bool RecordDelayedMove(const std::string& source, const std::string& target, bool replace);
  BootRenameList ReadBootRenames() const;
  // The session manager's rename or deletion, or WININIT.EXE's; the journal's words for a
  // failure, or nothing.
  std::optional<std::string> ApplyOnNt(const BootRename& rename);
  std::optional<std::string> ApplyInRealMode(const BootRename& rename);
  // One rename or deletion of the start, as the family carries it out, journalled.
  void Apply(const BootRename& rename);
  // Windows starts: no program runs any more, no driver is open and no file is held open.
  void BeginStart();

  SimCore core_;
  SimRegistry registry_;
  SimFileSystem files_;
  SimProfiles profiles_;
  SimProcesses processes_;
  SimHardware hardware_;
  SimServices services_;
  SimDialogs dialogs_;
  SimSecurity security_;
  SimMultimedia multimedia_;
  platform::Platform platform_;
  std::string programPath_;
  std::string arguments_;
  std::deque<int> messageBoxAnswers_;
};

}  // namespace sim
