#include "platform/sim/SimProcesses.h"

#include <algorithm>

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

SimProcesses::SimProcesses(SimCore& core, SimFileSystem& files) : core_(core), files_(files) {}

void SimProcesses::DefineProgram(const std::string& path, const ProgramBehaviour& behaviour) {
  behaviours_[Upper(files_.FullPath(path))] = behaviour;
}

platform::WindowHandle SimProcesses::AddRunningWindow(const std::string& title,
                                                      const std::string& program) {
  SimProcess process;
  process.id = nextProcessId_++;
  process.program = program;
  process.commandLine = program;
  process.startMs = core_.nowMs;
  processes_.push_back(process);
  windows_.push_back(SimWindow{nextWindow_, title, process.id});
  nextWindow_ += 0x10;
  return platform::WindowHandle{windows_.back().handle};
}

void SimProcesses::EndAll() {
  for (SimProcess& process : processes_) {
    Update(process);
    if (!process.endMs) {
      process.endMs = core_.nowMs;
    }
  }
  windows_.clear();
}

std::optional<std::string> SimProcesses::Probe(const std::string& candidate) const {
  auto isFile = [this](const std::string& path) {
    const FileNode* node = files_.Find(path);
    return node != nullptr && !node->isFolder;
  };
  std::vector<std::string> names{candidate};
  std::size_t slash = candidate.find_last_of("\\/");
  std::string last = slash == std::string::npos ? candidate : candidate.substr(slash + 1);
  if (last.find('.') == std::string::npos) {
    names.push_back(candidate + ".exe");  // a name without extension is tried as a program
  }
  bool relative = candidate.find_first_of("\\/:") == std::string::npos;
  for (const std::string& name : names) {
    if (!relative) {
      if (isFile(name)) {
        return files_.FullPath(name);
      }
      continue;
    }
    std::string windows = files_.WindowsFolder();
    for (const std::string& folder :
         {programFolder_, files_.CurrentFolder(),
          windows + (core_.IsNt() ? "\\SYSTEM32" : "\\SYSTEM"), windows}) {
      if (!folder.empty() && isFile(folder + "\\" + name)) {
        return files_.FullPath(folder + "\\" + name);
      }
    }
  }
  return std::nullopt;
}

std::uint32_t SimProcesses::FindProgram(const std::string& commandLine,
                                        std::string& program) const {
  std::string text(TrimBlanks(commandLine));
  if (text.empty()) {
    return win::ERROR_FILE_NOT_FOUND;
  }
  std::vector<std::string> candidates;
  if (text[0] == '"') {
    std::size_t close = text.find('"', 1);
    candidates.push_back(
        text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else {
    // An unquoted command line with blanks: each prefix up to a blank is tried in turn, as
    // CreateProcess does ("C:\Program Files\x.exe" first tries "C:\Program.exe").
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i == text.size() || text[i] == ' ' || text[i] == '\t') {
        if (i > 0 && text[i - 1] != ' ') {
          candidates.push_back(text.substr(0, i));
        }
      }
    }
  }
  for (const std::string& candidate : candidates) {
    if (std::optional<std::string> found = Probe(candidate)) {
      program = *found;
      return 0;
    }
  }
  // A missing folder of the program's path is "path not found", as on Windows; a server or
  // share that is not there says so.
  const std::string& whole = candidates.front();
  std::size_t slash = whole.find_last_of("\\/");
  if (slash != std::string::npos) {
    std::uint32_t error = 0;
    if (files_.Find(whole.substr(0, slash + 1), error) == nullptr) {
      return error == win::ERROR_BAD_NETPATH || error == win::ERROR_BAD_NET_NAME
                 ? error
                 : win::ERROR_PATH_NOT_FOUND;
    }
  }
  return win::ERROR_FILE_NOT_FOUND;
}

SimProcess* SimProcesses::Launch(const std::string& commandLine, const std::string& how,
                                 std::uint32_t& error) {
  std::string program;
  error = FindProgram(commandLine, program);
  // Any file can be named as a program, but only an executable image runs.
  const FileNode* image = error == 0 ? files_.Find(program) : nullptr;
  if (image != nullptr &&
      !(image->data.size() >= 2 && image->data[0] == 'M' && image->data[1] == 'Z')) {
    error = win::ERROR_BAD_EXE_FORMAT;
  }
  if (error != 0) {
    core_.Record("process",
                 how + " \"" + commandLine + "\" failed with error " + std::to_string(error));
    return nullptr;
  }
  SimProcess process;
  process.id = nextProcessId_++;
  process.program = program;
  process.commandLine = commandLine;
  process.startMs = core_.nowMs;
  auto it = behaviours_.find(Upper(program));
  ProgramBehaviour behaviour = it == behaviours_.end() ? ProgramBehaviour{} : it->second;
  if (!behaviour.runsUntilClosed) {
    process.endMs = core_.nowMs + behaviour.runsForMs;
  }
  process.exitCode = behaviour.exitCode;
  processes_.push_back(process);
  if (!behaviour.windowTitle.empty()) {
    windows_.push_back(SimWindow{nextWindow_, behaviour.windowTitle, process.id});
    nextWindow_ += 0x10;
  }
  core_.Record("process", how + " \"" + commandLine + "\" (program " + program + ")");
  if (behaviour.handsOverTo.empty()) {
    return &processes_.back();
  }
  // The program copies itself away, starts the copy and is gone.
  std::size_t self = processes_.size() - 1;
  processes_[self].endMs = core_.nowMs;
  std::string copy = files_.FullPath(behaviour.handsOverTo);
  std::optional<std::string> bytes = files_.ReadFileDirect(program);
  if (bytes && files_.WriteFileDirect(copy, *bytes)) {
    std::uint32_t copyError = 0;
    Launch("\"" + copy + "\"", "started by " + program + ":", copyError);
  }
  return &processes_[self];
}

void SimProcesses::Poll(SimProcess& process) {
  auto running = [this, &process] {
    Update(process);
    return !process.endMs || *process.endMs > core_.nowMs;
  };
  if (running()) {
    // A loop that asks again and again spins the processor: a millisecond a question.
    ++process.polls;
    core_.Advance(1);
    if (running()) {
      return;
    }
  } else if (process.exitCode == win::STILL_ACTIVE) {
    if (++process.polls >= kHungPolls) {
      core_.Record("note", "hung: the exit code of " + process.program + " asked " +
                               std::to_string(process.polls) +
                               " times, and it ended with 259, which reads as still running; "
                               "ended from the task list");
      core_.Record("process", "exit with code 1");
      throw ProcessExit{1};
    }
    return;
  }
  if (process.exitCode == win::STILL_ACTIVE) {
    return;  // it reads as running: there is no end to tell of
  }
  if (process.polls > 1) {
    core_.Record("note", "busy wait: the exit code of " + process.program + " asked " +
                             std::to_string(process.polls) + " times while it ran");
  }
  process.polls = 0;
}

SimProcess* SimProcesses::ById(std::uint32_t id) {
  for (SimProcess& process : processes_) {
    if (process.id == id) {
      return &process;
    }
  }
  return nullptr;
}

SimProcess* SimProcesses::ByHandle(platform::ProcessHandle handle) {
  auto it = handles_.find(handle.value);
  return it == handles_.end() ? nullptr : ById(it->second);
}

bool SimProcesses::Running(const std::string& program) {
  for (SimProcess& process : processes_) {
    Update(process);
    if ((!process.endMs || *process.endMs > core_.nowMs) &&
        EqualsNoCase(process.program, program)) {
      return true;
    }
  }
  return false;
}

void SimProcesses::Update(SimProcess& process) {
  if (process.endMs && *process.endMs <= core_.nowMs) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const SimWindow& w) { return w.processId == process.id; }),
                   windows_.end());
  }
}

std::uint32_t SimProcesses::WinExec(const std::string& commandLine, std::uint32_t show) {
  (void)show;
  if (core_.Injected(Call::WinExec)) {
    return core_.lastError;
  }
  std::uint32_t error = 0;
  if (Launch(commandLine, "WinExec", error) == nullptr) {
    // WinExec speaks the error codes of 16-bit Windows: a file that is no program is a bad format.
    return error == win::ERROR_BAD_EXE_FORMAT ? win::ERROR_BAD_FORMAT : error;
  }
  return 33;
}

platform::ProcessHandle SimProcesses::StartProcess(const std::string& commandLine,
                                                   std::uint32_t show) {
  (void)show;
  if (core_.Injected(Call::CreateProcessA)) {
    return {};
  }
  std::uint32_t error = 0;
  SimProcess* process = Launch(commandLine, "CreateProcess", error);
  if (process == nullptr) {
    core_.lastError = error;
    return {};
  }
  platform::ProcessHandle handle{nextHandle_};
  nextHandle_ += 4;
  handles_[handle.value] = process->id;
  return handle;
}

std::uint32_t SimProcesses::WaitForInputIdle(platform::ProcessHandle handle,
                                             std::uint32_t milliseconds) {
  if (core_.Injected(Call::WaitForInputIdle)) {
    return win::WAIT_FAILED;
  }
  SimProcess* process = ByHandle(handle);
  if (process == nullptr) {
    core_.lastError = win::ERROR_INVALID_HANDLE;
    return win::WAIT_FAILED;
  }
  // A program with a window is idle once it runs; one without has no input to be idle for.
  // Either way the call returns at once: it does not wait for the program to end.
  (void)milliseconds;
  Update(*process);
  return win::WAIT_OBJECT_0;
}

std::uint32_t SimProcesses::WaitForProcess(platform::ProcessHandle handle,
                                           std::uint32_t milliseconds) {
  if (core_.Injected(Call::WaitForSingleObject)) {
    return win::WAIT_FAILED;
  }
  SimProcess* process = ByHandle(handle);
  if (process == nullptr) {
    core_.lastError = win::ERROR_INVALID_HANDLE;
    return win::WAIT_FAILED;
  }
  // The wait costs the virtual time until the program ends, or the whole time when it does not
  // end within it (INFINITE as the longest wait the clock can count: a program that never ends
  // by itself would hold Windows' wait for ever).
  std::uint64_t left = 0;
  if (process->endMs && *process->endMs > core_.nowMs) {
    left = *process->endMs - core_.nowMs;
  }
  const bool ends = process->endMs && left <= milliseconds;
  core_.Advance(ends ? left : milliseconds);
  Update(*process);
  return ends ? win::WAIT_OBJECT_0 : win::WAIT_TIMEOUT;
}

bool SimProcesses::GetExitCode(platform::ProcessHandle handle, std::uint32_t& exitCode) {
  if (core_.Injected(Call::GetExitCodeProcess)) {
    return false;
  }
  SimProcess* process = ByHandle(handle);
  if (process == nullptr) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  Poll(*process);
  exitCode =
      (process->endMs && *process->endMs <= core_.nowMs) ? process->exitCode : win::STILL_ACTIVE;
  return true;
}

void SimProcesses::CloseProcess(platform::ProcessHandle handle) {
  if (core_.Injected(Call::CloseHandle)) {
    return;  // the handle stays open
  }
  handles_.erase(handle.value);
}

platform::WindowHandle SimProcesses::FindTopLevelWindow(const std::string& title) {
  if (core_.Injected(Call::FindWindowExA)) {
    return {};
  }
  for (SimProcess& process : processes_) {
    Update(process);
  }
  for (const SimWindow& window : windows_) {
    if (EqualsNoCase(window.title, title)) {
      return platform::WindowHandle{window.handle};
    }
  }
  return {};
}

std::intptr_t SimProcesses::SendWindowMessage(platform::WindowHandle window, std::uint32_t message,
                                              std::uintptr_t wParam, std::intptr_t lParam) {
  (void)lParam;
  if (core_.Injected(Call::SendMessageA)) {
    return 0;  // the window never gets the message
  }
  auto it = std::find_if(windows_.begin(), windows_.end(),
                         [&](const SimWindow& w) { return w.handle == window.value; });
  if (it == windows_.end()) {
    if (ownWindows_) {
      if (std::optional<std::intptr_t> result = ownWindows_(window, message, wParam)) {
        return *result;
      }
    }
    core_.lastError = win::ERROR_INVALID_WINDOW_HANDLE;
    return 0;
  }
  if (message != win::WM_CLOSE) {
    core_.Record("window", "message " + std::to_string(message) + " to \"" + it->title + "\"");
    return 0;
  }
  core_.Record("window", "WM_CLOSE to \"" + it->title + "\"");
  std::uint32_t processId = it->processId;
  windows_.erase(it);
  bool hasOthers = std::any_of(windows_.begin(), windows_.end(),
                               [&](const SimWindow& w) { return w.processId == processId; });
  SimProcess* process = ById(processId);
  if (!hasOthers && process != nullptr && (!process->endMs || *process->endMs > core_.nowMs)) {
    process->endMs = core_.nowMs;
    process->exitCode = 0;
  }
  return 0;
}

}  // namespace sim
