#include "platform/WinConstants.h"
#include "platform/journal/JournalingPlatform.h"

namespace journal {

namespace {

// WinExec's results up to 31 are errors.
constexpr std::uint32_t kLastWinExecError = 31;

}  // namespace

std::uint32_t JournalProcesses::WinExec(const std::string& commandLine, std::uint32_t show) {
  const std::uint64_t started = below_.journal.Now();
  std::uint32_t result = below_.platform.processes.WinExec(commandLine, show);
  below_.journal.RecordAt(
      started, "process",
      "WinExec " + Quoted(commandLine) +
          (result > kLastWinExecError ? std::string()
                                      : " failed with error " + std::to_string(result)));
  return result;
}

platform::ProcessHandle JournalProcesses::StartProcess(const std::string& commandLine,
                                                       std::uint32_t show) {
  const std::uint64_t started = below_.journal.Now();
  platform::ProcessHandle process = below_.platform.processes.StartProcess(commandLine, show);
  below_.journal.RecordAt(
      started, "process",
      "CreateProcess " + Quoted(commandLine) +
          (process.IsNull()
               ? " failed with error " + std::to_string(below_.platform.system.GetLastError())
               : std::string()));
  return process;
}

std::uint32_t JournalProcesses::WaitForInputIdle(platform::ProcessHandle process,
                                                 std::uint32_t milliseconds) {
  return below_.platform.processes.WaitForInputIdle(process, milliseconds);
}

std::uint32_t JournalProcesses::WaitForProcess(platform::ProcessHandle process,
                                               std::uint32_t milliseconds) {
  return below_.platform.processes.WaitForProcess(process, milliseconds);
}

bool JournalProcesses::GetExitCode(platform::ProcessHandle process, std::uint32_t& exitCode) {
  return below_.platform.processes.GetExitCode(process, exitCode);
}

void JournalProcesses::CloseProcess(platform::ProcessHandle process) {
  below_.platform.processes.CloseProcess(process);
}

platform::WindowHandle JournalProcesses::FindTopLevelWindow(const std::string& title) {
  platform::WindowHandle window = below_.platform.processes.FindTopLevelWindow(title);
  if (!window.IsNull()) {
    titles_[window.value] = title;
  }
  return window;
}

std::intptr_t JournalProcesses::SendWindowMessage(platform::WindowHandle window,
                                                  std::uint32_t message, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  const std::uint64_t sent = below_.journal.Now();
  std::intptr_t result =
      below_.platform.processes.SendWindowMessage(window, message, wParam, lParam);
  // Messages to the program's own dialogs go through the dialog manager and are not the
  // journal's; those to other programs' windows are.
  auto it = titles_.find(window.value);
  if (it != titles_.end()) {
    below_.journal.RecordAt(sent, "window",
                            (message == win::WM_CLOSE ? std::string("WM_CLOSE")
                                                      : "message " + std::to_string(message)) +
                                " to " + Quoted(it->second));
    if (message == win::WM_CLOSE) {
      titles_.erase(it);
    }
  }
  return result;
}

}  // namespace journal
