// setup-sim: runs the setup launcher against a disc folder on simulated Windows machines and
// reports what it did (run), compares every Windows version in one table (matrix), and checks a
// disc folder for what each route needs (lint).
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sim/SimMachine.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/CommandLine.h"
#include "tools/setup-sim/Expect.h"
#include "tools/setup-sim/Interruption.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/Lint.h"
#include "tools/setup-sim/Matrix.h"
#include "tools/setup-sim/MatrixTable.h"
#include "tools/setup-sim/Output.h"
#include "tools/setup-sim/Progress.h"
#include "tools/setup-sim/ReportHtml.h"
#include "tools/setup-sim/ReportJson.h"
#include "tools/setup-sim/ReportText.h"
#include "tools/setup-sim/RunReport.h"
#include "tools/setup-sim/SafeSave.h"
#include "ui/CompiledResources.h"

namespace {

using lab::Fail;
using lab::Refuse;
constexpr int kFailed = lab::kExitFailed;
constexpr int kUsage = lab::kExitUsage;
constexpr int kStopped = lab::kExitStopped;

const char kFooter[] =
    "\nWithout a subcommand, the options are those of run.\n"
    "\n"
    "Dialogs (--dialog ID=ACTIONS, or one such line per dialog in an --answers file): what\n"
    "the user does in dialog template ID, in order, comma-separated: click:CONTROL, close,\n"
    "syscommand:0x10, or owner:CONTROL (a click in the window behind the dialog, disabled\n"
    "while it runs). Templates: 102 (main) the main window (1000 \"Install Device Driver and\n"
    "Applications\", 3 \"Install Device Driver\", 4 \"Install Applications\", 2 \"Exit\"),\n"
    "306 (no-chip), 130 (architecture: 1004 VxD, 1005 WDM, 1 OK), 132 (restart: 1000 yes,\n"
    "1001 no, 1 OK), 103 (jack-options), 100 (about). A dialog shown with no action left\n"
    "stops the run (exit code 3).\n"
    "\n"
    "PCI devices (--pci SLOT=DEVICE): SLOT is BUS:DEVICE.FUNCTION and DEVICE is VENDOR:ID\n"
    "[options] in hex, as in machine.ini's [PCI] section, or none to take one out:\n"
    "7C5A:0111 is the ORV6490; 8086:2445 codec=4F52:5641 an Intel AC'97 controller with the\n"
    "ORV5970; options decoding=off, coldreset, semaphore=N|stuck, linkready=never, busy=N,\n"
    "broken.\n"
    "\n"
    "Exit codes: 0 done (lint: clean; diff: alike), 1 bad input or a failure (lint:\n"
    "findings), 2 a command line that cannot be used, 3 a dialog left unanswered (matrix: a\n"
    "row stopped at one), 4 matrix: a row showed \"Can not find\" or started a program that\n"
    "is not there, 5 matrix --expect: a row does not do what the file expects; diff: the two\n"
    "sides differ. With --json, a command that cannot go on prints its error as JSON.\n";

struct RunCommandLine {
  lab::RunSetup setup;
  std::string cutWrite;
  std::string registryAfterLoss;
  bool save = false;
  bool restart = false;
  bool json = false;
  bool journal = false;
  std::string output;
  std::string html;
};

struct MatrixCommandLine {
  lab::MatrixSetup setup;
  std::string windows;
  std::string commands = "driver";
  std::vector<std::string> optionFiles;
  std::vector<std::string> variants;
  std::string expect;
  std::string writeExpect;
  bool json = false;
  std::string output;
  std::string html;
};

struct LintCommandLine {
  std::string disc;
  std::string discOption;
  bool json = false;
  std::string output;
};

void AddRunOptions(CLI::App& run, RunCommandLine& options) {
  lab::RunSetup& setup = options.setup;
  run.add_option("--machine", setup.machineFolder,
                 "the machine folder (machine.ini, registry.reg, drive_c/...)");
  run.add_option("--windows", setup.windows,
                 "the Windows version: 95, 98, 98SE, ME, NT4, 2000 or XP (without --machine: a "
                 "fresh machine with the ORV6490)");
  run.add_option("--disc", setup.disc, "the disc folder, mapped read-only as drive D:");
  run.add_option("--disc-at", setup.discAt,
                 "where the disc is mapped instead: a drive the machine does not have (E:; "
                 "never C:) or a network share (\\\\server\\share)");
  run.add_option("--program", setup.program,
                 "the program path as Windows hands it over (default: the disc's SETUP.EXE; "
                 ".\\SETUP.EXE is a start from a command prompt in the disc's root)");
  run.add_option("--args", setup.args, "the command line after the program name");
  run.add_option("--pci", setup.pci, "SLOT=DEVICE: a PCI device put in, or SLOT=none taken out")
      ->allow_extra_args(false);
  run.add_option("--dialog", setup.dialogs, "ID=ACTIONS: what the user does in a dialog")
      ->allow_extra_args(false);
  run.add_option("--answers", setup.answerFile, "a file of ID=ACTIONS lines, one per dialog");
  run.add_option("--option-file", setup.optionFile, "a file used as the disc's setup.ini");
  run.add_option("--set", setup.optionChanges, "KEY=VALUE: an [InstallOption] value changed")
      ->allow_extra_args(false);
  run.add_option("--language", setup.language,
                 "the language of the dialogs (1033 English, 1028, 1041, 1042)");
  run.add_flag("--save", options.save,
               "write the machine's new state back into its folder (through a temporary "
               "folder, so that an interrupted save loses nothing)");
  run.add_flag("--restart", options.restart,
               "restart the machine after the run, carrying out the pending renames");
  run.add_flag("--start-first", setup.power.startFirst,
               "start the machine before the run, carrying out its pending renames, as Windows "
               "starts after a power loss");
  run.add_option("--start-power-off-after", setup.power.startLostAfter,
                 "with --start-first: the power fails again during that start, after N of its "
                 "pending renames (the list stays for the next start); the launcher does not run");
  run.add_option("--power-off-at", setup.power.offAt,
                 "the power fails at the run's Nth platform call (from 1): the calls before it "
                 "took effect, that one did not, nothing after it runs; with --save the machine "
                 "folder keeps what the disk held")
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.find_first_not_of("0") == std::string::npos
                       ? std::string("the run's platform calls count from 1")
                       : std::string();
          },
          "N", "from 1"));
  run.add_option("--cut", options.cutWrite,
                 "a file write the power loss cuts leaves its file: prefix (the first half of "
                 "the new bytes; the default) or absent (a new file gone, a rewritten one empty)");
  run.add_option("--registry", options.registryAfterLoss,
                 "what the registry keeps after the power loss: last-flush (what its lazy flush "
                 "had written; the default), kept (every change), last-start (Windows 9x: the "
                 "copy of the last start)");
  run.add_flag("--json", options.json, "the report as JSON");
  run.add_flag("--journal", options.journal,
               "also the raw journal of every side effect, in virtual time");
  run.add_option("-o,--output", options.output, "write the report to a file");
  run.add_option("--html", options.html,
                 "also write the report as one web page, with the dialogs drawn");
}

void AddMatrixOptions(CLI::App& matrix, MatrixCommandLine& options) {
  lab::MatrixSetup& setup = options.setup;
  matrix.add_option("--disc", setup.disc, "the disc folder")->required();
  matrix.add_option("--machines", setup.machines,
                    "a folder of machine folders, one per Windows version (default: fresh "
                    "machines with the ORV6490)");
  matrix.add_option("--windows", options.windows,
                    "the versions, comma-separated (default: 95,98,98SE,ME,NT4,2000,XP)");
  matrix.add_option("--commands", options.commands,
                    "the main window's commands, comma-separated: driver, apps, both, exit, or "
                    "all (default: driver)");
  matrix
      .add_option("--option-file", options.optionFiles,
                  "an option file used as the disc's setup.ini: one more row per version")
      ->allow_extra_args(false);
  matrix
      .add_option("--vary", options.variants,
                  "KEY=VALUE[,KEY=VALUE]: the disc's setup.ini so changed: one more row per "
                  "version")
      ->allow_extra_args(false);
  matrix
      .add_option("--dialog", setup.dialogs,
                  "ID=ACTIONS: replaces the standard answers to that dialog")
      ->allow_extra_args(false);
  matrix.add_option("--pci", setup.pci, "SLOT=DEVICE on every machine")->allow_extra_args(false);
  matrix.add_option("--disc-at", setup.discAt,
                    "where the disc is mapped: a drive the machines do not have, or a share");
  matrix.add_option("--args", setup.args, "the command line after the program name");
  matrix.add_option("--expect", options.expect,
                    "a file of what each row should do (--write-expect writes one): every "
                    "difference is named, and the exit code is 5 when there is one");
  matrix.add_option("--write-expect", options.writeExpect,
                    "writes what each row does into a file, for a later --expect");
  matrix.add_flag("--json", options.json, "the table as JSON");
  matrix.add_option("-o,--output", options.output, "write the table to a file");
  matrix.add_option("--html", options.html,
                    "also write the table as one web page that links every row to its run's "
                    "whole report, with the dialogs drawn");
}

void AddLintOptions(CLI::App& lint, LintCommandLine& options) {
  lint.add_option("disc", options.disc, "the disc folder");
  lint.add_option("--disc", options.discOption, "the disc folder (as DISC)");
  lint.add_flag("--json", options.json, "the findings as JSON");
  lint.add_option("-o,--output", options.output, "write the findings to a file");
}

// The launcher's resources, for the pictures of its dialogs in a web page.
const sim::Resources& LauncherResources() {
  static const sim::Resources resources = [] {
    sim::Resources read;
    std::string error;
    read.Load(ui::kSetupResources, ui::kSetupResourcesSize, error);
    return read;
  }();
  return resources;
}

// --cut and --registry, which only a run that loses its power takes.
bool ReadPowerOptions(RunCommandLine& options, std::string& error) {
  lab::PowerSetup& power = options.setup.power;
  const bool given = !options.cutWrite.empty() || !options.registryAfterLoss.empty();
  if (power.startLostAfter && !power.startFirst) {
    error = "--start-power-off-after cuts the start of --start-first: it needs --start-first";
    return false;
  }
  if (power.startLostAfter && power.offAt != 0) {
    error = "--start-power-off-after leaves the launcher unrun: there is no run for --power-off-at";
    return false;
  }
  if (power.offAt == 0 && given) {
    error = "--cut and --registry tell what a power loss leaves: they need --power-off-at";
    return false;
  }
  if (!options.cutWrite.empty()) {
    std::optional<sim::CutWrite> cut = sim::ParseCutWrite(options.cutWrite);
    if (!cut) {
      error = "--cut: \"" + options.cutWrite + "\" is neither prefix nor absent";
      return false;
    }
    power.cutWrite = *cut;
  }
  if (!options.registryAfterLoss.empty()) {
    std::optional<sim::RegistryAfterLoss> registry =
        sim::ParseRegistryAfterLoss(options.registryAfterLoss);
    if (!registry) {
      error = "--registry: \"" + options.registryAfterLoss +
              "\" is none of last-flush, kept, last-start";
      return false;
    }
    power.registry = *registry;
  }
  return true;
}

int Run(RunCommandLine& options) {
  lab::RunSetup& setup = options.setup;
  auto refuse = [&](const std::string& message, int exitCode) {
    return Refuse("run", options.json, message, exitCode);
  };
  std::string error;
  if (setup.disc.empty() || (setup.machineFolder.empty() && setup.windows.empty())) {
    return refuse("run: --disc and --machine (or --windows) are required", kUsage);
  }
  if (options.save && setup.machineFolder.empty()) {
    return refuse("run: --save needs a machine folder (--machine)", kUsage);
  }
  if (!ReadPowerOptions(options, error)) {
    return refuse("run: " + error, kUsage);
  }
  const std::vector<lab::Input> inputs{{setup.disc, "the disc folder"},
                                       {setup.machineFolder, "the machine folder"},
                                       {setup.optionFile, "the option file"},
                                       {setup.answerFile, "the answers file"}};
  if (!lab::CheckOutput(options.output, inputs, error) ||
      !lab::CheckOutput(options.html, inputs, error) ||
      (options.save && !lab::CheckSavable(setup.machineFolder, error))) {
    return refuse(error, kFailed);
  }
  if (options.save && (lab::IsInside(setup.machineFolder, setup.disc) ||
                       lab::IsInside(setup.disc, setup.machineFolder))) {
    return refuse("--save: the machine folder " + setup.machineFolder + " and the disc " +
                      setup.disc +
                      " lie one in the other: saving the machine would rewrite the disc; keep "
                      "the machine folder outside the disc",
                  kFailed);
  }
  std::unique_ptr<sim::SimMachine> machine;
  lab::Progress progress("setup-sim run");
  progress.Show("running the launcher on " +
                (setup.machineFolder.empty() ? "Windows " + setup.windows : setup.machineFolder));
  std::optional<lab::RunReport> report =
      lab::RunSetupAndReport(setup, lab::LauncherCommands(), options.restart, error, &machine);
  progress.Clear();
  if (!report) {
    return refuse(error, kFailed);
  }
  std::string text = options.json ? lab::JsonText(lab::ReportJson(*report, options.journal))
                                  : lab::ReportText(*report) +
                                        (options.journal ? "\nJournal\n" + lab::JournalText(*report)
                                                         : std::string());
  if (!lab::WriteOutput(options.output, text, error) ||
      (!options.html.empty() &&
       !lab::WriteOutput(options.html, lab::RunHtml(*report, LauncherResources()), error))) {
    return refuse(error + (options.save ? "; the machine folder was not saved" : ""), kFailed);
  }
  if (report->end == lab::RunReport::End::Stopped) {
    Fail(report->stopReason + " (give it actions with --dialog" +
         (options.save ? "; the machine folder was not saved)" : ")"));
    return kStopped;
  }
  if (options.save) {
    progress.Show("saving the machine folder " + setup.machineFolder);
    const bool saved = lab::SaveMachineSafely(*machine, setup.machineFolder, error);
    progress.Clear();
    if (!saved) {
      return refuse(error, kFailed);
    }
  }
  return 0;
}

// Without --expect the rows gate on what stands in the way (3 a row stopped, 4 "Can not find"
// or a missing program); with it, on the file: 5 when a row does not do what it expects. A
// matrix that only writes an expect file records what the rows do, whatever it is.
int MatrixExitCode(const std::vector<lab::MatrixRow>& rows, bool expect, bool writeExpect,
                   const std::vector<lab::ExpectDifference>& differences) {
  if (expect) {
    return differences.empty() ? 0 : lab::kExitDiffers;
  }
  const lab::MatrixProblems problems = lab::CountProblems(rows);
  std::string what;
  auto say = [&](std::size_t count, const char* text) {
    if (count > 0) {
      what += (what.empty() ? "" : ", ") + std::to_string(count) +
              (count == 1 ? " row " : " rows ") + text;
    }
  };
  say(problems.stopped, "stopped at a dialog with no action left");
  say(problems.cannotFind, "showed \"Can not find\"");
  say(problems.missingPrograms, "started a program that is not there");
  if (!what.empty()) {
    Fail("matrix: " + what + (writeExpect ? " (the expect file records it)" : ""));
  }
  if (writeExpect) {
    return 0;
  }
  return problems.stopped > 0 ? kStopped : problems.Any() ? lab::kExitProblems : 0;
}

int Matrix(MatrixCommandLine& options) {
  lab::MatrixSetup& setup = options.setup;
  auto refuse = [&](const std::string& message, int exitCode) {
    return Refuse("matrix", options.json, message, exitCode);
  };
  std::string error;
  setup.windows = lab::ParseWindowsList(options.windows);
  if (!lab::ParseCommandList(options.commands, setup.commands, error)) {
    return refuse("matrix: " + error, kUsage);
  }
  for (const std::string& file : options.optionFiles) {
    setup.variants.push_back(lab::OptionVariant{file, file, {}});
  }
  for (const std::string& changes : options.variants) {
    setup.variants.push_back(lab::OptionVariant{changes, "", sim::Split(changes, ',')});
  }
  std::vector<lab::Input> inputs{{setup.disc, "the disc folder"},
                                 {setup.machines, "the folder of machines"},
                                 {options.expect, "the expect file"}};
  for (const std::string& file : options.optionFiles) {
    inputs.push_back({file, "an option file"});
  }
  if (!lab::CheckOutput(options.output, inputs, error) ||
      !lab::CheckOutput(options.writeExpect, inputs, error) ||
      !lab::CheckOutput(options.html, inputs, error)) {
    return refuse(error, kFailed);
  }
  if (!options.output.empty() && options.output != "-" &&
      lab::IsInside(options.writeExpect, options.output)) {
    return refuse("--output and --write-expect name one file", kUsage);
  }
  std::optional<nlohmann::ordered_json> expected;
  if (!options.expect.empty() && !(expected = lab::ReadExpectFile(options.expect, error))) {
    return refuse(error, kFailed);
  }
  const lab::MatrixProgress progress = lab::TerminalProgress("matrix");
  std::vector<lab::MatrixRow> rows =
      lab::RunMatrix(setup, lab::LauncherCommands(), progress, error);
  if (rows.empty()) {
    if (progress) {
      progress(0, 0, "");
    }
    return refuse("matrix: " + error, kFailed);
  }
  std::vector<lab::ExpectDifference> differences;
  if (expected) {
    differences = lab::CompareWithExpected(*expected, rows);
  }
  std::string text;
  if (options.json) {
    nlohmann::ordered_json json = lab::MatrixJson(setup.disc, rows);
    if (expected) {
      json["expected"] = lab::ExpectResultJson(options.expect, *expected, differences);
    }
    text = lab::JsonText(json);
  } else {
    text = lab::MatrixText(rows) +
           (expected ? lab::ExpectText(options.expect, *expected, setup.disc, differences) : "");
  }
  if (!lab::WriteOutput(options.output, text, error) ||
      (!options.writeExpect.empty() &&
       !lab::WriteOutput(options.writeExpect, lab::JsonText(lab::ExpectJson(setup.disc, rows)),
                         error)) ||
      (!options.html.empty() &&
       !lab::WriteOutput(options.html, lab::MatrixHtml(setup.disc, rows, LauncherResources()),
                         error))) {
    return refuse(error, kFailed);
  }
  return MatrixExitCode(rows, expected.has_value(), !options.writeExpect.empty(), differences);
}

int Lint(LintCommandLine& options) {
  auto refuse = [&](const std::string& message, int exitCode) {
    return Refuse("lint", options.json, message, exitCode);
  };
  if (options.disc.empty()) {
    options.disc = options.discOption;
  } else if (!options.discOption.empty() && !(lab::IsInside(options.disc, options.discOption) &&
                                              lab::IsInside(options.discOption, options.disc))) {
    return refuse("lint: two discs given (" + options.disc + " and --disc " + options.discOption +
                      "); lint checks one",
                  kUsage);
  }
  if (options.disc.empty()) {
    return refuse("lint: which disc? give its folder: setup-sim lint DISC", kUsage);
  }
  std::string error;
  if (!lab::CheckOutput(options.output, {{options.disc, "the disc folder"}}, error)) {
    return refuse(error, kFailed);
  }
  lab::Progress progress("setup-sim lint");
  progress.Show("checking " + options.disc);
  std::optional<std::vector<lab::Finding>> findings = lab::LintDisc(options.disc, error);
  progress.Clear();
  if (!findings) {
    return refuse("lint: " + error, kUsage);
  }
  std::string text = options.json ? lab::JsonText(lab::LintJson(options.disc, *findings))
                                  : lab::LintText(options.disc, *findings);
  if (!lab::WriteOutput(options.output, text, error)) {
    return refuse(error, kFailed);
  }
  return findings->empty() ? 0 : 1;
}

// Without a subcommand the options are run's, as they were before there were subcommands; a
// value that starts with "-" (--args -AP) is joined to its option so that it stays a value.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args{argv[0]};
  static const char* const kFirst[] = {"run",    "matrix", "lint", "diff",     "init",
                                       "schema", "--help", "-h",   "--version"};
  const bool subcommand =
      argc > 1 && std::any_of(std::begin(kFirst), std::end(kFirst),
                              [&](const char* name) { return std::strcmp(argv[1], name) == 0; });
  if (!subcommand && argc > 1) {
    args.push_back("run");
  }
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--args") == 0 && i + 1 < argc && argv[i + 1][0] == '-') {
      args.push_back(std::string("--args=") + argv[++i]);
    } else {
      args.push_back(argv[i]);
    }
  }
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  lab::InstallInterruptHandlers();
  CLI::App app{"setup-sim: the setup launcher of the driver disc on simulated Windows machines"};
  app.footer(kFooter);
  app.set_version_flag("--version", std::string("setup-sim ") + SETUP_SIM_VERSION +
                                        " (JSON schema version " +
                                        std::to_string(lab::kSchemaVersion) + ")");
  app.require_subcommand(1);
  RunCommandLine runOptions;
  MatrixCommandLine matrixOptions;
  LintCommandLine lintOptions;
  CLI::App* run = app.add_subcommand(
      "run", "one run of the launcher on a simulated machine, and a report of everything it did");
  CLI::App* matrix = app.add_subcommand(
      "matrix", "one disc on every Windows version (and command, and option file): one table");
  CLI::App* lint = app.add_subcommand("lint",
                                      "checks a disc folder for what each route on each Windows "
                                      "version needs");
  AddRunOptions(*run, runOptions);
  AddMatrixOptions(*matrix, matrixOptions);
  AddLintOptions(*lint, lintOptions);
  lab::DiffCommandLine diffOptions;
  CLI::App* diff = app.add_subcommand(
      "diff",
      "what a new disc, or the disc with another option file, does differently on every "
      "Windows version and command; nothing when alike");
  lab::AddDiffOptions(*diff, diffOptions);
  lab::InitCommandLine initOptions;
  CLI::App* init = app.add_subcommand(
      "init",
      "a skeleton driver disc in a new folder: every folder a route needs, an annotated "
      "setup.ini and placeholder files, which lint passes");
  lab::AddInitOptions(*init, initOptions);
  CLI::App* schema = app.add_subcommand(
      "schema", "prints the JSON schema of every document --json writes (its schemaVersion)");

  std::vector<std::string> args = Arguments(argc, argv);
  std::vector<char*> pointers;
  for (std::string& arg : args) {
    pointers.push_back(arg.data());
  }
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::CallForHelp& help) {
    // Without a subcommand the options are run's: the top-level help lists them too.
    if (app.get_subcommands().empty()) {
      std::printf("%s\n%s", app.help().c_str(), run->help("", CLI::AppFormatMode::Sub).c_str());
      return 0;
    }
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    return Refuse(args.size() > 1 ? args[1].c_str() : "setup-sim", json,
                  error.what() + std::string(" (setup-sim --help tells the options)"), kUsage);
  }
  // A disc or machine file is read when a run first needs it: one that changed or went away
  // since it was mapped ends the command, with nothing written.
  try {
    if (run->parsed()) {
      return Run(runOptions);
    }
    if (matrix->parsed()) {
      return Matrix(matrixOptions);
    }
    if (diff->parsed()) {
      return lab::Diff(diffOptions);
    }
    if (init->parsed()) {
      return lab::Init(initOptions);
    }
    if (schema->parsed()) {
      std::fputs(lab::SchemaText().c_str(), stdout);
      return std::fflush(stdout) == 0 ? 0 : kFailed;
    }
    return Lint(lintOptions);
  } catch (const sim::HostFileLost& lost) {
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    return Refuse(args.size() > 1 ? args[1].c_str() : "setup-sim", json, lost.what(), kFailed);
  }
}
