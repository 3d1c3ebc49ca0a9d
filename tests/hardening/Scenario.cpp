#include "tests/hardening/Scenario.h"

#include <cctype>
#include <sstream>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/sim/MachineFolder.h"
#include "tests/LauncherResources.h"
#include "ui/StartupDialogs.h"
#include "ui/resource.h"

namespace hardening {

namespace {

const std::string kExamples = std::string(ORV_SOURCE_DIR) + "/examples/";

std::vector<sim::DialogAction> Repeat(std::vector<sim::DialogAction> actions, int times) {
  std::vector<sim::DialogAction> all;
  for (int i = 0; i < times; ++i) {
    all.insert(all.end(), actions.begin(), actions.end());
  }
  return all;
}

// What the user does: the command, then Exit whenever the main window comes back; OK to every
// question with its preset answer, "No" to the restart, Install to the jack options.
void Script(sim::SimMachine& machine, const Scenario& scenario) {
  sim::SimDialogs& dialogs = machine.Dialogs();
  std::vector<sim::DialogAction> main;
  if (scenario.command.rfind("button ", 0) == 0) {
    main.push_back(sim::DialogAction::Click(std::stoi(scenario.command.substr(7))));
  }
  for (int i = 0; i < 4; ++i) {
    main.push_back(sim::DialogAction::Click(win::IDCANCEL));
  }
  dialogs.Script(IDD_SETUP_MAIN, main);
  dialogs.Script(IDD_DRIVER_ARCH, Repeat({sim::DialogAction::Click(win::IDOK)}, 4));
  dialogs.Script(
      IDD_RESTART,
      Repeat({sim::DialogAction::Click(IDC_RESTART_NO), sim::DialogAction::Click(win::IDOK)}, 4));
  dialogs.Script(IDD_JACK_OPTIONS, Repeat({sim::DialogAction::Click(win::IDOK)}, 4));
  dialogs.Script(IDD_NO_CHIP, Repeat({sim::DialogAction::Click(win::IDOK)}, 4));
  dialogs.Script(IDD_ABOUT, Repeat({sim::DialogAction::Click(win::IDOK)}, 4));
}

}  // namespace

std::unique_ptr<sim::SimMachine> MakeMachine(const Scenario& scenario, std::string& error) {
  std::unique_ptr<sim::SimMachine> machine =
      sim::LoadMachineFolder(kExamples + "machines/" + scenario.machine, error);
  if (!machine || !sim::MapHostFolder(*machine, 'D', kExamples + "disc", true, error)) {
    return nullptr;
  }
  machine->Dialogs().UseResources(testsupport::LauncherResources());
  std::string disc = "D:\\";
  if (!scenario.discFolder.empty()) {
    // The disc copied to the hard disk, as a user copies it.
    disc = scenario.discFolder;
    sim::SimFileSystem& files = machine->Files();
    files.MakeFoldersDirect(disc);
    files.Walk('D', [&](const std::string& path, const sim::FileNode& node) {
      const std::string copy = disc + path.substr(3);
      if (node.isFolder) {
        files.MakeFoldersDirect(copy);
      } else {
        files.WriteFileDirect(copy, std::string(node.data.begin(), node.data.end()));
      }
    });
  }
  if (scenario.command.rfind("WebSetup=", 0) == 0) {
    // The disc's option file with the staged-setup route: the disc is read-only media, so the
    // change is made below the simulation, as a disc made that way would be.
    std::optional<std::string> options = machine->Files().ReadFileDirect(disc + "setup.ini");
    std::string text = options.value_or("");
    std::size_t at = text.find("WebSetup=0");
    if (at != std::string::npos) {
      text.replace(at, 10, scenario.command);
    }
    at = text.find("InstallWDMDriver=0");
    if (at != std::string::npos) {
      text.replace(at, 18, "InstallWDMDriver=1");
    }
    machine->Files().WriteFileDirect(disc + "setup.ini", text, win::FILE_ATTRIBUTE_READONLY);
  }
  ReadyToRun(*machine, scenario);
  machine->Core().journal.clear();
  return machine;
}

void ReadyToRun(sim::SimMachine& machine, const Scenario& scenario) {
  const std::string disc = scenario.discFolder.empty() ? "D:\\" : scenario.discFolder;
  machine.Files().SetCurrentFolderDirect(disc);
  machine.SetCommandLine(disc + "SETUP.EXE", scenario.command[0] == '/' ? scenario.command : "");
  Script(machine, scenario);
}

MachineDump Dump(sim::SimMachine& machine) {
  MachineDump dump;
  std::istringstream registry(machine.Registry().Export());
  std::string line;
  std::string key;
  while (std::getline(registry, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
      key = line.substr(1, line.size() - 2);
      dump["registry " + key] = "";
    } else if (!line.empty() && !key.empty()) {
      std::size_t equals = line.find("\"=");
      std::size_t split = line[0] == '@' ? 1 : (equals == std::string::npos ? 0 : equals + 1);
      dump["registry " + key + " " + line.substr(0, split)] = line.substr(split);
    }
  }
  for (char letter : machine.Files().Drives()) {
    machine.Files().Walk(letter, [&dump](const std::string& path, const sim::FileNode& node) {
      dump["file " + path] = node.isFolder ? "<folder>"
                                           : std::to_string(node.attributes) + " " +
                                                 std::string(node.data.begin(), node.data.end());
    });
  }
  return dump;
}

namespace {

std::vector<std::string> Leaks(sim::SimMachine& machine) {
  std::vector<std::string> leaks;
  auto count = [&leaks](const char* what, std::size_t n) {
    if (n != 0) {
      leaks.push_back(std::to_string(n) + " " + what);
    }
  };
  count("registry keys", machine.Registry().OpenHandleCount());
  count("searches", machine.Files().OpenSearchCount());
  count("service or device handles", machine.Services().OpenHandleCount());
  count("process handles", machine.Processes().OpenHandleCount());
  count("tokens", static_cast<std::size_t>(machine.Security().OpenTokenCount()));
  for (char letter : machine.Files().Drives()) {
    machine.Files().Walk(letter, [&leaks](const std::string& path, const sim::FileNode& node) {
      if (node.openStreams > 0) {
        leaks.push_back("stream of " + path);
      }
    });
  }
  return leaks;
}

}  // namespace

bool NamedByTheLauncher(const std::string& place) {
  std::string upper = place;
  for (char& c : upper) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  static const char* const kRegistry[] = {"\\SOFTWARE\\MICROSOFT\\MULTIMEDIA\\AUDIO",
                                          "\\CURRENTVERSION\\RUN",
                                          "\\APPEVENTS\\SCHEMES\\APPS\\.DEFAULT\\SYSTEMSTART",
                                          "\\DRIVER SIGNING\\CLASSES\\HWID",
                                          "\\CURRENTVERSION\\SETUP",
                                          "\\INSTALLLOCATIONSMRU",
                                          "\\APPLETS\\SYSTRAY",
                                          "\\SERVICES\\CLASS\\MEDIA",
                                          "\\CONTROL\\MEDIARESOURCES",
                                          "\\ENUM\\PCI",
                                          "\\ENUM\\ORV",
                                          "\\ENUM\\VIRTUAL\\VSX-",
                                          "\\CLASSES\\SPHERIX",
                                          "{D8F1EEE0-F634-11CF-8700-00A0245D918B}",
                                          "\\SOFTWARE\\ASIO",
                                          "{188135E1-D565-11D2-854F-00A0C99F5D19}",
                                          "\\DRIVERS32",
                                          "\\DRIVERS.DESC",
                                          "\\UNINSTALL\\SONAVEX DRIVER",
                                          "\\SESSION MANAGER"};
  static const char* const kFiles[] = {"C:\\PROGRAM FILES", "\\INF\\",        "\\PRECOPY",
                                       "\\ORVSETUP.INI",    "\\WININIT.INI",  "\\WIN.INI",
                                       "\\OVCDPLAY.INI",    "\\MIXERDEF.INI", "\\MIXER.EXE",
                                       "\\OPTIONS\\CABS",   "\\SYSTEM32\\",   "\\OVUNINST."};
  if (upper.rfind("REGISTRY ", 0) == 0) {
    for (const char* key : kRegistry) {
      if (upper.find(key) != std::string::npos) {
        return true;
      }
    }
    return false;
  }
  for (const char* file : kFiles) {
    if (upper.find(file) != std::string::npos) {
      return true;
    }
  }
  // The earlier driver files the retirement names (SYSTEM\OV*, the 3D and synthesizer files).
  for (const char* retired :
       {"\\SYSTEM\\OV", "\\SYSTEM\\SPHERIX", "\\SYSTEM\\ZPX.", "\\SYSTEM\\Y3D.",
        "\\SYSTEM\\PATCHMAP.", "\\SYSTEM\\SMPBANK.", "\\SYSTEM\\INITTONE.", "\\SYSTEM\\WTBNK",
        "\\SYSTEM\\BANKLOAD.", "\\SYSTEM\\ASIO6490.", "\\SYSTEM\\HRTFMOD.", "\\SYSTEM\\6430"}) {
    if (upper.find(retired) != std::string::npos) {
      return true;
    }
  }
  return false;
}

std::vector<Scenario> AllScenarios() {
  std::vector<Scenario> scenarios;
  for (const char* machine : {"win95", "win98", "win98se", "winme", "nt4", "win2000", "winxp"}) {
    for (const char* command : {"button 3", "button 4", "button 1000", "/DRIVER", "/AP", "/SPEAKER",
                                "WebSetup=1", "WebSetup=2"}) {
      scenarios.push_back(Scenario{machine, command, ""});
    }
  }
  return scenarios;
}

RunResult Run(const Scenario& scenario, std::uint64_t failCall, std::uint32_t error,
              const std::function<void(sim::SimMachine&)>& prepare, const PlatformOver& over) {
  RunResult result;
  std::string problem;
  std::unique_ptr<sim::SimMachine> machine = MakeMachine(scenario, problem);
  if (!machine) {
    result.end = "the machine could not be made: " + problem;
    return result;
  }
  if (prepare) {
    prepare(*machine);
  }
  result.before = Dump(*machine);
  sim::Faults& faults = machine->InjectedFaults();
  const std::uint64_t start = faults.TotalCalls();
  if (failCall != 0) {
    faults.FailNthCall(failCall, error);
  }
  platform::Platform& used = over ? over(machine->Platform()) : machine->Platform();
  result.end = Launch(*machine, used, result.wellEnded);
  result.calls = faults.TotalCalls() - start;
  faults.Clear();
  for (const sim::JournalEntry& entry : machine->Journal()) {
    if (entry.category == "fault") {
      result.fault = entry.text;
    }
  }
  result.journal = machine->Journal();
  result.leaks = Leaks(*machine);
  for (const sim::SimProcess& process : machine->Processes().Started()) {
    result.started.push_back(process.program);
  }
  result.after = Dump(*machine);
  return result;
}

std::string Launch(sim::SimMachine& machine, platform::Platform& platform, bool& wellEnded) {
  install::SetupCommands commands;
  ui::DialogStartupServices services(platform, commands);
  app::SetupApp setup(platform, services);
  wellEnded = false;
  try {
    setup.InitInstance();
    if (machine.Core().power.IsOff()) {
      return machine.Core().power.LostText();  // at the run's last close
    }
    wellEnded = true;
    return "returned";
  } catch (const sim::ProcessExit& exit) {
    wellEnded = true;
    return "exit " + std::to_string(exit.exitCode);
  } catch (const sim::PowerLoss& loss) {
    return loss.what;
  } catch (const sim::UnscriptedDialog& stop) {
    return stop.what();
  } catch (const std::exception& thrown) {
    return std::string("exception: ") + thrown.what();
  }
}

std::vector<std::string> Changed(const MachineDump& before, const MachineDump& after) {
  std::vector<std::string> changed;
  for (const auto& [place, state] : after) {
    auto it = before.find(place);
    if (it == before.end() || it->second != state) {
      changed.push_back(place);
    }
  }
  for (const auto& [place, state] : before) {
    if (after.find(place) == after.end()) {
      changed.push_back(place);
    }
  }
  return changed;
}

}  // namespace hardening
