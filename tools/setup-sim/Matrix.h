// One disc run on every Windows version (and, if asked, with each of the main window's four
// commands and with variants of the option file), one row per run: the route taken, the driver
// flavour, the programs started, restart or not, how many files and registry keys changed, and
// any "Can not find" message.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/setup-sim/RunReport.h"

namespace lab {

// The main window's buttons: "Install Device Driver", "Install Applications", "Install Device
// Driver and Applications", "Exit".
enum class MainCommand { Driver, Applications, Combined, Exit };

struct OptionVariant {
  std::string name;                  // as the table shows it
  std::string optionFile;            // replaces the disc's setup.ini; empty: the disc's
  std::vector<std::string> changes;  // "KEY=VALUE" in [InstallOption]
};

struct MatrixSetup {
  std::string disc;
  std::string machines;  // a folder of machine folders; empty: fresh machines
  std::vector<std::string> windows;
  std::vector<MainCommand> commands{MainCommand::Driver};
  std::vector<OptionVariant> variants{OptionVariant{"disc", "", {}}};
  std::vector<std::string> dialogs;  // replace the standard answers of these templates
  std::vector<std::string> pci;
  std::string discAt = "D:";
  std::string args;
};

struct MatrixRow {
  std::string windows;
  std::string command;
  std::string variant;
  std::string machine;  // the machine folder, or empty for a fresh machine
  std::string route;
  std::string flavour;
  std::vector<ProgramStarted> programs;
  bool restartRequested = false;
  ChangeCounts counts;
  std::vector<std::string> cannotFind;       // the "Can not find" messages shown
  std::vector<std::string> missingPrograms;  // command lines of programs that did not start
  std::string stopped;                       // a dialog left unanswered
  std::shared_ptr<const RunReport> report;   // the whole run, for its details
};

// What stands in the way of a disc: the rows a CI gate fails on.
struct MatrixProblems {
  std::size_t stopped = 0;
  std::size_t cannotFind = 0;
  std::size_t missingPrograms = 0;
  bool Any() const { return stopped + cannotFind + missingPrograms > 0; }
};
MatrixProblems CountProblems(const std::vector<MatrixRow>& rows);

const char* CommandName(MainCommand command);
std::optional<MainCommand> ParseCommand(const std::string& name);  // driver, apps, both, exit

// The standard answers: the command's button in the main window (then "Exit" should it come
// back), OK to the architecture question (the preset flavour), "Yes" to the restart offer, OK
// to the jack options, the About box and the no-chip notice.
std::vector<std::string> StandardAnswers(MainCommand command);

using MatrixProgress = std::function<void(std::size_t done, std::size_t total, const std::string&)>;

// Empty with a message when a run cannot be set up.
std::vector<MatrixRow> RunMatrix(const MatrixSetup& setup, const CommandsFactory& commands,
                                 const MatrixProgress& progress, std::string& error);

MatrixRow SummariseRun(const RunReport& report);

}  // namespace lab
