// Setup.exe: the launcher's entry point on Windows, and what it is made of: the real backend, the
// board, the journal a support person may ask for, and the start-up sequence over them.
#include <cstdlib>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/journal/JournalFile.h"
#include "platform/journal/JournalingPlatform.h"
#include "platform/win32/Win32Platform.h"
#include "program/BoardPlatform.h"
#include "ui/StartupDialogs.h"

#include "platform/win32/WinApi.h"

namespace {

// The file ORVSETUP_JOURNAL names, where a support person asks for the run's journal; empty
// without it.
std::string JournalPath() {
  const char* path = std::getenv("ORVSETUP_JOURNAL");
  return path != nullptr ? path : "";
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  static platform::Platform& board = program::BoardPlatform(machine.Platform());
  // Without ORVSETUP_JOURNAL nothing is written and the program runs on the machine directly.
  static journal::FileSink journalFile(JournalPath());
  static journal::Journal journal(journalFile, journal::ElapsedClock());
  static journal::JournalingPlatform journaled(board, journal);
  platform::Platform& platform = journalFile.IsOpen() ? journaled.Platform() : board;

  static install::SetupCommands commands;
  static ui::DialogStartupServices services(platform, commands);
  static app::SetupApp setup(platform, services);
  setup.InitInstance();
  if (journalFile.IsOpen()) {
    journal.Record("process", "start-up returned: the process ends");
  }
  return 0;
}
