#include "tools/setup-sim/RunReport.h"

#include "app/SetupApp.h"
#include "tools/setup-sim/MachineSetup.h"
#include "tools/setup-sim/MachineState.h"
#include "tools/setup-sim/RouteTrace.h"
#include "ui/StartupDialogs.h"
#include "ui/resource.h"

namespace lab {

namespace {

// The machine starts before the run (the power failing again during the start, if asked);
// what the start carried out.
std::vector<std::string> StartFirst(sim::SimMachine& machine, const PowerSetup& power) {
  const std::size_t first = machine.Journal().size();
  if (power.startLostAfter) {
    machine.PowerOn(power.startLostAfter);
  } else {
    machine.Restart();
  }
  const std::vector<sim::JournalEntry> start(
      machine.Journal().begin() + static_cast<std::ptrdiff_t>(first), machine.Journal().end());
  return ReadJournal(start).restartActions;
}

}  // namespace

RunReport RunAndReport(sim::SimMachine& machine, const CommandsFactory& commands, bool restart,
                       const PowerSetup& power) {
  RunReport report;
  report.os = machine.Core().version;
  if (power.startFirst) {
    report.startedFirst = true;
    report.startActions = StartFirst(machine, power);
  }
  const MachineState before = CaptureState(machine);
  const std::uint64_t startMs = machine.Core().nowMs;
  const std::size_t journalStart = machine.Journal().size();
  const std::size_t shownStart = machine.Dialogs().Shown().size();

  std::unique_ptr<install::Commands> launcherCommands = commands(machine);
  RouteTrace trace(*launcherCommands);
  ui::DialogStartupServices services(machine.Platform(), trace);
  app::SetupApp setup(machine.Platform(), services);
  const std::uint64_t callsBefore = machine.InjectedFaults().TotalCalls();
  if (power.offAt != 0) {
    report.powerPlanned = true;
    machine.PlanPowerLoss(sim::PowerLossPlan{power.offAt, power.cutWrite, power.registry});
  }
  try {
    if (!machine.Core().power.IsOff()) {  // the start may have lost the power again
      setup.InitInstance();
      machine.Core().Record("process", "start-up returned: the process ends");
    }
    report.end = RunReport::End::Returned;
  } catch (const sim::ProcessExit& exit) {
    report.end = RunReport::End::Exited;
    report.exitCode = exit.exitCode;
  } catch (const sim::UnscriptedDialog& stop) {
    machine.Core().Record("stopped", stop.what());
    report.end = RunReport::End::Stopped;
    report.stopReason = stop.what();
  } catch (const sim::PowerLoss&) {
  }
  if (machine.Core().power.IsOff()) {  // also when the run went on to its end past a close
    report.end = RunReport::End::PowerLost;
    report.powerLoss = machine.Core().power.LostText();
  }
  report.calls = machine.InjectedFaults().TotalCalls() - callsBefore;
  report.virtualMs = machine.Core().nowMs - startMs;
  report.route = trace.Steps();
  report.flavour = trace.Flavour();
  report.pendingRenames = ReadPendingRenames(machine);
  report.journal.assign(machine.Journal().begin() + static_cast<std::ptrdiff_t>(journalStart),
                        machine.Journal().end());
  const JournalSummary summary = ReadJournal(report.journal);
  report.dialogs = summary.dialogs;
  const sim::SimDialogs& dialogs = machine.Dialogs();
  for (std::size_t i = shownStart; i < dialogs.Shown().size(); ++i) {
    const sim::DialogSnapshot& shown = dialogs.Shown()[i];
    if (const sim::DialogTemplate* layout =
            dialogs.Templates().Dialog(shown.templateId, dialogs.Language())) {
      report.drawings.push_back(DialogDrawing{*layout, shown});
    }
  }
  report.messageBoxes = summary.messageBoxes;
  report.programs = summary.programs;
  report.restartRequested = summary.restartRequested;
  report.waitedMs = summary.waitedMs;
  report.waits = summary.waits;
  // The profile files as the run left them: a restart carries out WININIT.INI and renames it.
  report.profileEntries = ProfileEndState(summary.profileWrites, before, machine);
  if (restart) {
    const std::size_t restartStart = machine.Journal().size();
    if (machine.Core().power.IsOff()) {
      machine.PowerOn();  // the power comes back and Windows starts
    } else {
      machine.Restart();
    }
    report.restarted = true;
    const std::vector<sim::JournalEntry> restartJournal(
        machine.Journal().begin() + static_cast<std::ptrdiff_t>(restartStart),
        machine.Journal().end());
    report.restartActions = ReadJournal(restartJournal).restartActions;
    report.journal.insert(report.journal.end(), restartJournal.begin(), restartJournal.end());
  }

  const app::InstallContext& context = setup.Context();
  report.windowsClass = app::WindowsClassNames(context);
  report.sourceDir = context.sourceDir;
  report.commandLine = context.commandLine;
  report.options = context;
  report.detection = setup.Detection();

  const MachineState after = CaptureState(machine);
  report.registry = DiffRegistry(before.registry, after.registry);
  report.files = DiffFiles(before, after);
  return report;
}

std::optional<RunReport> RunSetupAndReport(const RunSetup& setup, const CommandsFactory& commands,
                                           bool restart, std::string& error,
                                           std::unique_ptr<sim::SimMachine>* machine) {
  std::unique_ptr<PreparedMachine> prepared = PrepareMachine(setup, error);
  if (!prepared) {
    return std::nullopt;
  }
  RunReport report = RunAndReport(*prepared->machine, commands, restart, setup.power);
  report.windows = prepared->windowsName;
  report.machineFolder = setup.machineFolder;
  report.disc = setup.disc;
  report.program = prepared->program;
  report.args = setup.args;
  report.notes = prepared->notes;
  if (machine != nullptr) {
    *machine = std::move(prepared->machine);
  }
  return report;
}

ChangeCounts CountChanges(const RunReport& report) {
  ChangeCounts counts;
  for (const FileChange& change : report.files) {
    ++(change.isFolder ? counts.folders : counts.files);
  }
  counts.registryKeys = report.registry.size();
  for (const RegKeyChange& key : report.registry) {
    counts.registryValues += key.values.size();
  }
  counts.profileEntries = report.profileEntries.size();
  counts.programs = report.programs.size();
  return counts;
}

std::string RouteText(const RunReport& report) {
  for (const DialogShown& dialog : report.dialogs) {
    if (dialog.templateId == IDD_NO_CHIP) {
      return "no chip";
    }
  }
  std::string text;
  for (const std::string& step : report.route) {
    text += (text.empty() ? "" : " > ") + step;
  }
  if (!text.empty()) {
    return text;
  }
  for (const ProgramStarted& program : report.programs) {
    if (program.commandLine.size() >= 9 &&
        program.commandLine.compare(program.commandLine.size() - 9, 9, " /SPEAKER") == 0) {
      return "speaker";
    }
  }
  for (const DialogShown& dialog : report.dialogs) {
    if (dialog.templateId == IDD_SETUP_MAIN) {
      return "main window";
    }
  }
  if (report.end == RunReport::End::PowerLost) {
    return "power lost";  // before the launcher found its way, or before it ran at all
  }
  if (report.detection.chipVendorId == 0) {
    return "no chip";
  }
  return report.end == RunReport::End::Stopped ? "stopped" : "no window";
}

}  // namespace lab
