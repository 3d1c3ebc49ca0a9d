#include "tools/setup-sim/MachineSetup.h"

#include <algorithm>
#include <filesystem>

#include "platform/WinConstants.h"
#include "platform/sim/MachineFolder.h"
#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/DialogScript.h"
#include "tools/setup-sim/InputFile.h"
#include "tools/setup-sim/OptionFileText.h"
#include "tools/setup-sim/SafeSave.h"
#include "ui/CompiledResources.h"

namespace fs = std::filesystem;

namespace lab {

namespace {

// A machine folder is whole when it has its description and its registry; an interrupted
// save of this tool leaves its new state beside it, never in it.
std::unique_ptr<sim::SimMachine> LoadCheckedFolder(const RunSetup& setup, PreparedMachine& prepared,
                                                   std::string& error) {
  const fs::path folder = setup.machineFolder;
  std::error_code code;
  if (fs::is_directory(folder, code) && !fs::exists(folder / "registry.reg", code) &&
      fs::exists(folder / "machine.ini", code)) {
    error = "the machine folder " + folder.string() +
            " is half written: it has machine.ini but no registry.reg";
    return nullptr;
  }
  if (std::string leftover = SaveLeftover(folder); !leftover.empty()) {
    prepared.notes.push_back("an earlier --save was interrupted and left " + leftover +
                             "; the machine folder itself is whole");
  }
  std::unique_ptr<sim::SimMachine> machine =
      sim::LoadMachineFolder(folder, error, setup.hostFolders);
  if (!machine) {
    return nullptr;
  }
  prepared.windowsName = MachineFolderVersion(setup.machineFolder);
  if (!setup.windows.empty()) {
    std::optional<sim::WindowsVersionInfo> asked = sim::FindWindowsVersion(setup.windows);
    if (!sim::EqualsNoCase(asked->name, prepared.windowsName)) {
      error = "the machine folder " + folder.string() + " holds Windows " + prepared.windowsName +
              ", not Windows " + asked->name;
      return nullptr;
    }
  }
  return machine;
}

// The disc's option file replaced by another, or changed key by key, then checked: a file the
// profile functions would read only in part is refused.
bool PrepareOptionFile(const RunSetup& setup, sim::SimMachine& machine, const std::string& root,
                       std::string& error) {
  sim::SimFileSystem& files = machine.Files();
  std::string path = root + "\\setup.ini";
  if (const sim::FileNode* existing = files.Find(path)) {
    path = root + "\\" + existing->name;
  }
  std::optional<std::string> text = files.ReadFileDirect(path);
  std::string source = setup.disc + "/" + path.substr(root.size() + 1);
  if (!setup.optionFile.empty()) {
    std::string replacement;
    if (!ReadInputFile(setup.optionFile, "the option file", replacement, error)) {
      return false;
    }
    text = replacement;
    source = setup.optionFile;
  }
  if (!text && setup.optionChanges.empty()) {
    return true;  // no option file: the launcher takes the defaults
  }
  std::string content = text.value_or("");
  for (const std::string& change : setup.optionChanges) {
    if (!ApplyOptionChange(content, change, error)) {
      return false;
    }
  }
  std::vector<OptionLineProblem> problems = MalformedOptionLines(content);
  if (!problems.empty()) {
    error = "the option file " + source + " is malformed: " +
            (problems[0].line > 0 ? "line " + std::to_string(problems[0].line) + ": " : "") +
            problems[0].what + " (setup-sim lint lists every problem)";
    return false;
  }
  if (text != content || !setup.optionFile.empty()) {
    files.WriteFileDirect(path, content, win::FILE_ATTRIBUTE_READONLY);
  }
  return true;
}

// The disc takes a drive letter or a share the machine does not have: on drive C:, or on any
// other drive of the machine, it would merge into that drive and make it read-only media (the
// launcher could then stage nothing there and still report success).
bool CheckDiscPlace(sim::SimMachine& machine, const std::string& root, std::string& error) {
  sim::SimFileSystem& files = machine.Files();
  if (sim::IsUncPath(root)) {
    for (const std::string& share : files.Shares()) {
      if (sim::EqualsNoCase(share, root)) {
        error = "--disc-at " + root + " is a share the machine already has";
        return false;
      }
    }
    return true;
  }
  const char letter = root.empty() ? '\0' : root[0];
  const std::string& windows = files.WindowsFolder();
  if (letter == 'C' || (!windows.empty() && sim::Upper(windows.substr(0, 1))[0] == letter)) {
    error = "--disc-at " + root + " is the drive Windows is on: the disc would take its place " +
            "as read-only media; map the disc to another letter, such as D:";
    return false;
  }
  for (char drive : files.Drives()) {
    if (drive == letter) {
      error = "--disc-at " + root +
              " is already a drive of the machine (its machine.ini maps it); map the disc to "
              "another letter";
      return false;
    }
  }
  return true;
}

bool ApplyPci(sim::SimMachine& machine, const std::vector<std::string>& devices,
              std::string& error) {
  for (const std::string& text : devices) {
    std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
      error = "--pci takes SLOT=DEVICE";
      return false;
    }
    std::string slot = text.substr(0, equals);
    std::string device = text.substr(equals + 1);
    std::optional<sim::PciDeviceSetup> parsed =
        sim::ParsePciDevice(slot, device == "none" ? "0:0" : device, error);
    if (!parsed) {
      return false;
    }
    if (device == "none") {
      machine.Hardware().RemoveDevice(parsed->bus, parsed->device, parsed->function);
    } else {
      machine.Hardware().AddDevice(*parsed);
    }
  }
  return true;
}

bool HasLanguage(const sim::Resources& templates, int language) {
  for (const auto& [id, templateLanguage] : templates.DialogIds()) {
    if (templateLanguage == language) {
      return true;
    }
  }
  return false;
}

bool ApplyDialogs(const RunSetup& setup, sim::SimMachine& machine, std::string& error) {
  sim::SimDialogs& dialogs = machine.Dialogs();
  if (!dialogs.LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error)) {
    return false;
  }
  if (!HasLanguage(dialogs.Templates(), setup.language)) {
    error = "the launcher has no dialogs in language " + std::to_string(setup.language) +
            " (1033 English, 1028, 1041, 1042)";
    return false;
  }
  dialogs.SetLanguage(setup.language);
  std::vector<DialogScript> scripts;
  if (!setup.answerFile.empty() &&
      !ReadAnswerFile(setup.answerFile, dialogs.Templates(), setup.language, scripts, error)) {
    return false;
  }
  for (const std::string& text : setup.dialogs) {
    DialogScript script;
    if (!ParseDialogScript(text, dialogs.Templates(), setup.language, script, error)) {
      error = "--dialog: " + error;
      return false;
    }
    scripts.push_back(script);
  }
  for (const DialogScript& script : scripts) {
    dialogs.Script(script.templateId, script.actions);
  }
  return true;
}

}  // namespace

std::string MachineFolderVersion(const std::string& folder) {
  std::string text;
  if (!sim::ReadHostFile(fs::path(folder) / "machine.ini", text)) {
    return {};
  }
  std::string name = sim::ProfileDocument(text).Get("Windows", "Version").value_or("");
  std::optional<sim::WindowsVersionInfo> version = sim::FindWindowsVersion(name);
  return version ? version->name : "";
}

std::unique_ptr<PreparedMachine> PrepareMachine(const RunSetup& setup, std::string& error) {
  auto prepared = std::make_unique<PreparedMachine>();
  std::optional<sim::WindowsVersionInfo> asked;
  if (!setup.windows.empty()) {
    asked = sim::FindWindowsVersion(setup.windows);
    if (!asked) {
      error = "--windows " + setup.windows + " is not one of 95, 98, 98SE, ME, NT4, 2000, XP";
      return nullptr;
    }
  }
  if (!setup.machineFolder.empty()) {
    prepared->machine = LoadCheckedFolder(setup, *prepared, error);
  } else if (asked) {
    prepared->machine = FreshMachine(asked->version);
    prepared->windowsName = asked->name;
  } else {
    error = "give the machine: --machine DIR or --windows VERSION";
  }
  if (!prepared->machine) {
    return nullptr;
  }
  sim::SimMachine& machine = *prepared->machine;

  bool empty = false;
  if (!CheckDiscFolder(setup.disc, empty, error)) {
    return nullptr;
  }
  if (empty) {
    error = "the disc folder " + setup.disc + " is empty";
    return nullptr;
  }
  // Read once for a matrix; its symbolic links left out, and named.
  std::shared_ptr<const sim::HostFolder> disc = setup.hostFolders != nullptr
                                                    ? setup.hostFolders->Get(setup.disc, error)
                                                    : sim::HostFolder::Read(setup.disc, error);
  if (!disc) {
    return nullptr;
  }
  if (const std::vector<std::string>& links = disc->Links(); !links.empty()) {
    prepared->notes.push_back("the disc folder holds " + std::to_string(links.size()) +
                              " symbolic link" + (links.size() == 1 ? "" : "s") + ", left out (" +
                              links.front() + (links.size() > 1 ? "..." : "") +
                              "): a disc image holds none");
  }
  std::string root = setup.discAt;
  std::replace(root.begin(), root.end(), '/', '\\');
  if (root.size() == 1) {
    root += ":";
  }
  root = sim::IsUncPath(root) ? root : sim::Upper(root);
  if (!CheckDiscPlace(machine, root, error) ||
      !sim::MapHostFolder(machine, setup.discAt, *disc, true, error)) {
    return nullptr;
  }
  if (!PrepareOptionFile(setup, machine, root, error) || !ApplyPci(machine, setup.pci, error) ||
      !ApplyDialogs(setup, machine, error)) {
    return nullptr;
  }
  prepared->program = setup.program.empty() ? root + "\\SETUP.EXE" : setup.program;
  machine.Files().SetCurrentFolderDirect(root + "\\");
  machine.SetCommandLine(prepared->program, setup.args);
  machine.Core().journal.clear();
  return prepared;
}

}  // namespace lab
