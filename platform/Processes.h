// Processes and windows: WinExec, CreateProcessA, WaitForInputIdle, WaitForSingleObject on a
// process, GetExitCodeProcess, CloseHandle, FindWindowExA for top-level windows, SendMessageA.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handle.h"

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;

  // Greater than 31 when the program was started, else the Win32 error (2, 3, 11...).
  virtual std::uint32_t WinExec(const std::string& commandLine, std::uint32_t show) = 0;
  // CreateProcessA with no application name, the parent's environment and current directory and
  // a start-up record that sets only the show state. Null on failure (GetLastError tells why).
  virtual ProcessHandle StartProcess(const std::string& commandLine, std::uint32_t show) = 0;
  virtual std::uint32_t WaitForInputIdle(ProcessHandle process, std::uint32_t milliseconds) = 0;
  // WaitForSingleObject on the process: WAIT_OBJECT_0 once it has ended, whatever its exit code
  // (one that exits with STILL_ACTIVE's 259 has ended all the same), WAIT_TIMEOUT while it still
  // runs after `milliseconds`, WAIT_FAILED for a handle that is no process.
  virtual std::uint32_t WaitForProcess(ProcessHandle process, std::uint32_t milliseconds) = 0;
  virtual bool GetExitCode(ProcessHandle process, std::uint32_t& exitCode) = 0;
  virtual void CloseProcess(ProcessHandle process) = 0;
  // A top-level window with exactly this title (compared ignoring case, as Windows does); null
  // when there is none.
  virtual WindowHandle FindTopLevelWindow(const std::string& title) = 0;
  virtual std::intptr_t SendWindowMessage(WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace platform
