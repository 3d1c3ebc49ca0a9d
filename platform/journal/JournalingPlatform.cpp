#include "platform/journal/JournalingPlatform.h"

#include <exception>

#include "platform/WinConstants.h"

namespace journal {

std::string Below::FullPath(const std::string& path) {
  std::string full;
  std::uint32_t length = platform.files.GetFullPath(path, win::MAX_PATH, full);
  return length > 0 && length < win::MAX_PATH ? full : path;
}

void Below::Failed(const std::string& call, const std::string& what, std::uint32_t error) {
  journal.Record("failed", call + (what.empty() ? "" : " " + what) + " failed with error " +
                               std::to_string(error));
}

JournalingPlatform::JournalingPlatform(platform::Platform& below, Journal& journal)
    : system_(Below{below, journal}),
      registry_(Below{below, journal}),
      profiles_(Below{below, journal}),
      files_(Below{below, journal}),
      processes_(Below{below, journal}),
      dialogs_(Below{below, journal}),
      services_(Below{below, journal}),
      hardware_(Below{below, journal}),
      multimedia_(Below{below, journal}),
      security_(Below{below, journal}),
      platform_{system_,  registry_, profiles_, files_,      processes_, system_,
                dialogs_, services_, hardware_, multimedia_, security_} {}

// System and message boxes.

bool JournalSystem::GetVersion(platform::OsVersion& result) {
  return below_.platform.system.GetVersion(result);
}

std::uint32_t JournalSystem::GetLastError() {
  return below_.platform.system.GetLastError();
}

std::string JournalSystem::ProgramPath() {
  return below_.platform.system.ProgramPath();
}

std::string& JournalSystem::CommandArguments() {
  return below_.platform.system.CommandArguments();
}

void JournalSystem::Sleep(std::uint32_t milliseconds) {
  below_.journal.Record("wait", std::to_string(milliseconds) + " ms");
  below_.platform.system.Sleep(milliseconds);
}

std::uint32_t JournalSystem::SleepEx(std::uint32_t milliseconds, bool alertable) {
  below_.journal.Record("wait", std::to_string(milliseconds) + " ms");
  return below_.platform.system.SleepEx(milliseconds, alertable);
}

void JournalSystem::ExitProcess(int exitCode) {
  below_.journal.Record("process", "exit with code " + std::to_string(exitCode));
  below_.platform.system.ExitProcess(exitCode);
  std::terminate();  // not reached: the process's exit never returns
}

int JournalSystem::ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                                  const std::string& caption, std::uint32_t type) {
  const std::uint64_t shown = below_.journal.Now();
  int answer = below_.platform.ui.ShowMessageBox(owner, text, caption, type);
  if (answer == 0) {
    below_.Failed("MessageBoxA", Quoted(caption), below_.platform.system.GetLastError());
  } else {
    below_.journal.RecordAt(shown, "ui", MessageBoxAnswered(caption, text, answer));
  }
  return answer;
}

}  // namespace journal
