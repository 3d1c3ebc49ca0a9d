// Programs and top-level windows of the simulated machine. A started program is looked up the
// way CreateProcess looks up an unquoted command line, must be an executable image (a file that
// starts with "MZ"), runs for a while on the virtual clock and ends; windows of other programs
// close when they get WM_CLOSE.
//
// As on Windows, WaitForInputIdle does not wait for a program to end: it returns at once (a
// program with a window is idle as soon as it runs, one without has nothing to wait for). A
// program that polls another's exit code in a loop spins: each poll of a running program costs a
// millisecond of virtual time, and the journal says how long the loop spun. A program that ended
// with exit code 259 (STILL_ACTIVE) reads as running for ever; a loop waiting for it is ended
// from the task list after kHungPolls polls, with exit code 1.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"
#include "platform/sim/SimCore.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

struct ProgramBehaviour {
  std::uint64_t runsForMs = 1000;  // virtual time until it ends by itself
  bool runsUntilClosed = false;    // ends only when its window is closed
  std::uint32_t exitCode = 0;
  std::string windowTitle;  // a top-level window it opens, if any
  // A full path: the program copies itself there, starts the copy and ends at once with its
  // exit code (as uninstallers do, so that their own file can go); the copy runs as the program
  // defined for that path.
  std::string handsOverTo;
};

inline constexpr std::uint64_t kHungPolls = 100000;

struct SimProcess {
  std::uint32_t id = 0;
  std::string program;      // full path of the program file
  std::string commandLine;  // as given
  std::uint64_t startMs = 0;
  std::optional<std::uint64_t> endMs;
  std::uint32_t exitCode = 0;
  std::uint64_t polls = 0;  // exit-code polls in a row that found it running
};

struct SimWindow {
  std::uintptr_t handle = 0;
  std::string title;
  std::uint32_t processId = 0;
};

class SimProcesses : public platform::Processes {
 public:
  SimProcesses(SimCore& core, SimFileSystem& files);

  // How the program at this path behaves when started (by default it runs one second and ends).
  void DefineProgram(const std::string& path, const ProgramBehaviour& behaviour);
  // A program already running with a top-level window, as when the machine was left.
  platform::WindowHandle AddRunningWindow(const std::string& title, const std::string& program);
  // Messages to windows that are not other programs' (the launcher's own dialogs) go here;
  // nothing comes back for a window it does not know.
  using WindowMessageHandler = std::function<std::optional<std::intptr_t>(
      platform::WindowHandle, std::uint32_t, std::uintptr_t)>;
  void SetOwnWindows(WindowMessageHandler handler) { ownWindows_ = std::move(handler); }
  // The folder of the running program itself, searched first for a bare program name.
  void SetProgramFolder(const std::string& folder) { programFolder_ = folder; }
  const std::vector<SimProcess>& Started() const { return processes_; }
  // True while a program started from this file (a full path) runs: Windows holds a running
  // program's file open.
  bool Running(const std::string& program);
  const std::vector<SimWindow>& Windows() const { return windows_; }
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Every process ends and every window goes away (a restart).
  void EndAll();

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
  // The program file a command line starts, found as CreateProcess finds it; 0 or the error.
  std::uint32_t FindProgram(const std::string& commandLine, std::string& program) const;
  std::optional<std::string> Probe(const std::string& candidate) const;
  // Starts the program; null with the error (ERROR_BAD_EXE_FORMAT for a file that is no
  // executable image) when it does not start.
  SimProcess* Launch(const std::string& commandLine, const std::string& how, std::uint32_t& error);
  // The exit-code poll of a busy loop: the time it costs, and the journal's account of it.
  void Poll(SimProcess& process);
  SimProcess* ById(std::uint32_t id);
  SimProcess* ByHandle(platform::ProcessHandle handle);
  void Update(SimProcess& process);

  SimCore& core_;
  SimFileSystem& files_;
  std::string programFolder_;
  WindowMessageHandler ownWindows_;
  std::map<std::string, ProgramBehaviour> behaviours_;  // by upper-cased full path
  std::vector<SimProcess> processes_;
  std::vector<SimWindow> windows_;
  std::map<std::uintptr_t, std::uint32_t> handles_;  // process handle -> process id
  std::uintptr_t nextHandle_ = 0x2000;
  std::uintptr_t nextWindow_ = 0x10010;
  std::uint32_t nextProcessId_ = 0x100;
};

}  // namespace sim
