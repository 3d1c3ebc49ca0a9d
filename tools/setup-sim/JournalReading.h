// What the journal of a run tells, sorted by kind: the dialogs shown and what the user did in
// them, message boxes, programs started, profile-file entries written, waits, and the restart.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimCore.h"

namespace lab {

struct DialogShown {
  int templateId = 0;
  std::string caption;               // as it stood when the dialog ended, or was last named
  std::vector<std::string> actions;  // what the user did, as the journal says it
  std::optional<int> result;         // none: the run stopped while it was shown
  int depth = 0;                     // 0 for a dialog without a dialog under it
};

struct MessageBoxShown {
  std::string caption;
  std::string text;
  std::string answer;
};

struct ProgramStarted {
  std::string how;  // "WinExec" or "CreateProcess"
  std::string commandLine;
  std::string program;  // the file found; empty when the start failed
  std::string failure;  // "failed with error 2" when it did
};

// One write of a profile-file entry, as the journal records it.
struct ProfileWrite {
  std::string file;
  std::string section;
  std::optional<std::string> key;    // none: the section was deleted
  std::optional<std::string> value;  // none: the key was deleted
};

struct JournalSummary {
  std::vector<DialogShown> dialogs;
  std::vector<MessageBoxShown> messageBoxes;
  std::vector<ProgramStarted> programs;
  std::vector<ProfileWrite> profileWrites;  // until a restart
  std::uint64_t waitedMs = 0;
  int waits = 0;
  bool restartRequested = false;
  std::optional<int> exitCode;  // ExitProcess
  bool startupReturned = false;
  std::vector<std::string> restartActions;  // what the restart did: renames and deletions
};

JournalSummary ReadJournal(const std::vector<sim::JournalEntry>& journal);

}  // namespace lab
