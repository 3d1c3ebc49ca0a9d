// Everything one run of the launcher did, grouped by kind: the machine and the context start-up
// settled, the route through the commands, dialogs and message boxes, registry and file
// changes, profile-file entries, programs started, the restart, the end of the process and the
// virtual time spent waiting.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallContext.h"
#include "install/Session.h"
#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/FileDiff.h"
#include "tools/setup-sim/JournalReading.h"
#include "tools/setup-sim/PendingRenames.h"
#include "tools/setup-sim/ProfileEntries.h"
#include "tools/setup-sim/RegistryDiff.h"
#include "tools/setup-sim/RunSetup.h"

namespace lab {

// The commands the launcher runs on a machine (the lab tool's own, or the product's).
using CommandsFactory = std::function<std::unique_ptr<install::Commands>(sim::SimMachine&)>;

// A dialog as the simulation drew it: its template in the run's language, and the state it was
// left in when it ended (its caption, the controls' check and enabled states, what was moved).
struct DialogDrawing {
  sim::DialogTemplate layout;
  sim::DialogSnapshot state;
};

struct RunReport {
  // Where it ran.
  std::string windows;  // "98SE"...
  platform::OsVersion os;
  std::string machineFolder;  // empty: a fresh machine
  std::string disc;
  std::string program;
  std::string args;
  std::vector<std::string> notes;
  // What start-up settled.
  std::string windowsClass;
  std::string sourceDir;
  std::string commandLine;
  app::InstallOptions options;
  app::DetectionState detection;
  // What it did.
  std::vector<std::string> route;  // the commands and installers, in order
  std::string flavour;             // "VxD", "WDM", "NT 4.0" or empty
  std::vector<DialogShown> dialogs;
  std::vector<DialogDrawing> drawings;  // in the order the dialogs ended
  std::vector<MessageBoxShown> messageBoxes;
  std::vector<RegKeyChange> registry;
  std::vector<FileChange> files;
  std::vector<ProfileEntry> profileEntries;  // as the run left them, before any restart
  std::vector<ProgramStarted> programs;
  bool restartRequested = false;
  std::vector<PendingRename> pendingRenames;  // as the run left them
  bool restarted = false;
  std::vector<std::string> restartActions;
  // The start before the run (--start-first) and what it carried out.
  bool startedFirst = false;
  std::vector<std::string> startActions;
  // How it ended; a run that lost its power (--power-off-at) with the journal's words, and the
  // platform calls the run made.
  enum class End { Exited, Returned, Stopped, PowerLost } end = End::Returned;
  std::string powerLoss;
  bool powerPlanned = false;
  std::uint64_t calls = 0;
  int exitCode = 0;
  std::string stopReason;
  std::uint64_t waitedMs = 0;
  int waits = 0;
  std::uint64_t virtualMs = 0;
  std::vector<sim::JournalEntry> journal;
};

// How much a run changed, counted one way wherever a report or a table shows it.
struct ChangeCounts {
  std::size_t files = 0;    // files created, changed or deleted
  std::size_t folders = 0;  // folders created or deleted
  std::size_t registryKeys = 0;
  std::size_t registryValues = 0;
  std::size_t profileEntries = 0;
  std::size_t programs = 0;  // programs started, or tried
  bool operator==(const ChangeCounts&) const = default;
};
ChangeCounts CountChanges(const RunReport& report);

// Runs the launcher once on a prepared machine and reports it; `restart` restarts the machine
// afterwards, carrying out the pending renames; `power` starts it first, or cuts the run. The
// machine is left as the run left it.
RunReport RunAndReport(sim::SimMachine& machine, const CommandsFactory& commands, bool restart,
                       const PowerSetup& power = {});

// Prepares the machine of a setup, runs it and reports it; nothing with a message when the
// setup cannot be used. `machine` receives the machine afterwards, for a save.
std::optional<RunReport> RunSetupAndReport(const RunSetup& setup, const CommandsFactory& commands,
                                           bool restart, std::string& error,
                                           std::unique_ptr<sim::SimMachine>* machine = nullptr);

// The route as one line: "InstallDriver > StageVxdDriver", "no chip", "speaker"...
std::string RouteText(const RunReport& report);

}  // namespace lab
