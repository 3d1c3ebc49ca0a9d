#include "tools/setup-sim/Matrix.h"

#include <filesystem>
#include <map>

#include "platform/sim/Text.h"
#include "tools/setup-sim/DialogScript.h"
#include "tools/setup-sim/MachineSetup.h"
#include "ui/resource.h"

namespace fs = std::filesystem;

namespace lab {

namespace {

// The machine folder of each Windows version in a folder of machine folders, by version name;
// two of one version are refused, since the matrix could use only one of them.
std::map<std::string, std::string> MachinesByVersion(const std::string& folder,
                                                     std::string& error) {
  std::map<std::string, std::string> machines;
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    error = "no folder of machines at " + folder;
    return machines;
  }
  std::vector<fs::path> entries;
  for (const auto& entry : fs::directory_iterator(folder, code)) {
    entries.push_back(entry.path());
  }
  std::sort(entries.begin(), entries.end());
  for (const fs::path& entry : entries) {
    std::string version = MachineFolderVersion(entry.string());
    if (version.empty()) {
      continue;
    }
    if (auto [known, fresh] = machines.emplace(version, entry.string()); !fresh) {
      error = folder + " holds two machines of Windows " + version + ": " + known->second +
              " and " + entry.string() + "; keep one machine folder per version there";
      return {};
    }
  }
  if (machines.empty()) {
    error = folder + " holds no machine folder (a folder with a machine.ini)";
  }
  return machines;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

}  // namespace

const char* CommandName(MainCommand command) {
  switch (command) {
    case MainCommand::Driver:
      return "driver";
    case MainCommand::Applications:
      return "apps";
    case MainCommand::Combined:
      return "both";
    case MainCommand::Exit:
      break;
  }
  return "exit";
}

std::optional<MainCommand> ParseCommand(const std::string& name) {
  for (MainCommand command :
       {MainCommand::Driver, MainCommand::Applications, MainCommand::Combined, MainCommand::Exit}) {
    if (sim::EqualsNoCase(name, CommandName(command))) {
      return command;
    }
  }
  return std::nullopt;
}

std::vector<std::string> StandardAnswers(MainCommand command) {
  const int buttons[] = {IDC_INSTALL_DRIVER, IDC_INSTALL_APPS, IDC_INSTALL_ALL, 2};
  const std::string click = "click:" + std::to_string(buttons[static_cast<int>(command)]);
  return {
      "102=" + click + ",click:2,click:2",
      "130=click:1,click:1,click:1",
      "132=click:" + std::to_string(IDC_RESTART_YES) +
          ",click:1,click:" + std::to_string(IDC_RESTART_YES) + ",click:1",
      "103=click:1,click:1",
      "100=click:1,click:1",
      "306=click:1",
  };
}

MatrixRow SummariseRun(const RunReport& report) {
  MatrixRow row;
  row.windows = report.windows;
  row.machine = report.machineFolder;
  row.route = RouteText(report);
  row.flavour = report.flavour;
  row.programs = report.programs;
  for (const ProgramStarted& program : report.programs) {
    if (!program.failure.empty()) {
      row.missingPrograms.push_back(program.commandLine);
    }
  }
  row.restartRequested = report.restartRequested;
  row.counts = CountChanges(report);
  for (const MessageBoxShown& box : report.messageBoxes) {
    if (StartsWith(box.text, "Can not find")) {
      row.cannotFind.push_back(box.text);
    }
  }
  if (report.end == RunReport::End::Stopped) {
    row.stopped = report.stopReason;
  }
  return row;
}

MatrixProblems CountProblems(const std::vector<MatrixRow>& rows) {
  MatrixProblems problems;
  for (const MatrixRow& row : rows) {
    problems.stopped += row.stopped.empty() ? 0 : 1;
    problems.cannotFind += row.cannotFind.empty() ? 0 : 1;
    problems.missingPrograms += row.missingPrograms.empty() ? 0 : 1;
  }
  return problems;
}

std::vector<MatrixRow> RunMatrix(const MatrixSetup& setup, const CommandsFactory& commands,
                                 const MatrixProgress& progress, std::string& error) {
  std::map<std::string, std::string> machines;
  if (!setup.machines.empty()) {
    machines = MachinesByVersion(setup.machines, error);
    if (!error.empty()) {
      return {};
    }
  }
  std::vector<std::string> windows = setup.windows;
  if (windows.empty()) {
    for (const sim::WindowsVersionInfo& info : sim::KnownWindowsVersions()) {
      windows.push_back(info.name);
    }
  }
  const std::size_t total = windows.size() * setup.commands.size() * setup.variants.size();
  // Every row maps the same disc and machine folders: each is walked once, its files read once
  // and only as far as a run reads them, and shared between the rows until a run changes them.
  sim::HostFolders hostFolders;
  std::vector<MatrixRow> rows;
  for (const std::string& name : windows) {
    std::optional<sim::WindowsVersionInfo> version = sim::FindWindowsVersion(name);
    if (!version) {
      error = "\"" + name + "\" is not one of 95, 98, 98SE, ME, NT4, 2000, XP";
      return {};
    }
    for (const OptionVariant& variant : setup.variants) {
      for (MainCommand command : setup.commands) {
        RunSetup run;
        run.windows = version->name;
        if (auto machine = machines.find(version->name); machine != machines.end()) {
          run.machineFolder = machine->second;
        }
        run.disc = setup.disc;
        run.hostFolders = &hostFolders;
        run.discAt = setup.discAt;
        run.args = setup.args;
        run.pci = setup.pci;
        run.optionFile = variant.optionFile;
        run.optionChanges = variant.changes;
        // The user's answers replace the standard ones of the templates they name.
        std::vector<std::string> given = setup.dialogs;
        for (const std::string& standard : StandardAnswers(command)) {
          bool replaced = false;
          for (const std::string& answer : given) {
            replaced = replaced || DialogTemplateId(answer) == DialogTemplateId(standard);
          }
          if (!replaced) {
            run.dialogs.push_back(standard);
          }
        }
        run.dialogs.insert(run.dialogs.end(), given.begin(), given.end());
        std::string label = std::string(version->name) + " " + CommandName(command) +
                            (setup.variants.size() > 1 ? " " + variant.name : "");
        if (progress) {
          progress(rows.size(), total, label);
        }
        std::optional<RunReport> report = RunSetupAndReport(run, commands, false, error);
        if (!report) {
          error = label + ": " + error;
          return {};
        }
        MatrixRow row = SummariseRun(*report);
        row.command = CommandName(command);
        row.variant = variant.name;
        row.report = std::make_shared<const RunReport>(std::move(*report));
        rows.push_back(row);
      }
    }
  }
  if (progress) {
    progress(rows.size(), total, "");
  }
  return rows;
}

}  // namespace lab
