// The journaling layer over the simulated machine: on every route of every sample machine it
// writes what the machine's own journal says of the same run, at the same virtual times, and the
// run with the layer ends as the run without it. The two journals differ only where the layer
// cannot know what the machine knows, each said below where the lines are made comparable.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/journal/JournalFile.h"
#include "platform/journal/JournalingPlatform.h"
#include "platform/sim/MachineFolder.h"
#include "tests/hardening/Scenario.h"
#include "ui/CompiledResources.h"
#include "ui/StartupDialogs.h"
#include "ui/resource.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The line as both journals can say it. Paths are compared ignoring case: the layer names a
// file or key as the program named it, the machine as it stores it.
std::string Comparable(const journal::Line& line, const std::string& text) {
  return std::to_string(line.timeMs) + " " + line.category + " " + Lower(text);
}

// The machine's lines, less what only the machine sees: injected faults, a service removed
// when its last handle closes, clicks on disabled controls (nothing reaches the program), and
// the messages the multimedia system itself sends a driver library as it opens and closes it,
// or why it could not open it.
// The machine names the program file a command line started, the PCI function's identifiers
// beside its slot and the function decoding a port: the layer sees none of those.
std::vector<std::string> FromMachine(const std::vector<sim::JournalEntry>& entries) {
  std::vector<std::string> lines;
  for (const sim::JournalEntry& entry : entries) {
    std::string text = entry.text;
    if (entry.category == "fault" || entry.category == "note" ||
        Contains(text, "nothing happens") ||
        (entry.category == "driver" && text.rfind("OpenDriver ", 0) == 0) ||
        (entry.category == "service" && Contains(text, "\" removed"))) {
      continue;
    }
    if (entry.category == "driver") {
      bool bySystem = false;
      for (const char* message : {": DRV_LOAD ", ": DRV_ENABLE ", ": DRV_OPEN ", ": DRV_CLOSE ",
                                  ": DRV_DISABLE ", ": DRV_FREE "}) {
        bySystem = bySystem || Contains(text, message);
      }
      if (bySystem) {
        continue;
      }
    }
    if (entry.category == "process" && Contains(text, "\" (program ")) {
      text = text.substr(0, text.rfind(" (program "));
    }
    if (entry.category == "ui" && text.rfind("click ", 0) == 0) {
      text = "command " + text.substr(6);
    }
    if (entry.category == "pci") {
      text = text.substr(0, text.find(" (")) + text.substr(text.find(") ") + 1);
    }
    if (entry.category == "port" && Contains(text, " (")) {
      text = text.substr(0, text.find(" ("));
    }
    lines.push_back(Comparable(entry, text));
  }
  return lines;
}

// The layer's lines, less what it adds: calls that failed, and the driver library opened and
// closed (the machine journals the messages these send instead). The layer names keys by the
// root the program opened them under; the machine names the current user's keys and the classes
// by the keys they are views of.
std::vector<std::string> FromLayer(const std::vector<journal::Line>& entries,
                                   const std::string& currentUser) {
  std::vector<std::string> lines;
  for (const journal::Line& entry : entries) {
    if (entry.category == "failed" ||
        (entry.category == "driver" &&
         (entry.text.rfind("OpenDriver ", 0) == 0 || entry.text.rfind("CloseDriver ", 0) == 0))) {
      continue;
    }
    std::string text = Replaced(entry.text, "HKEY_CURRENT_USER", "HKEY_USERS\\" + currentUser);
    text = Replaced(text, "HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes");
    lines.push_back(Comparable(entry, text));
  }
  return lines;
}

// Where two journals part: the lines around the first that differs.
std::string Parting(const std::vector<std::string>& machine,
                    const std::vector<std::string>& layer) {
  std::size_t at = 0;
  while (at < machine.size() && at < layer.size() && machine[at] == layer[at]) {
    ++at;
  }
  std::string text = "from line " + std::to_string(at) + ":\n";
  for (std::size_t i = at >= 2 ? at - 2 : 0; i < at + 4; ++i) {
    text += "  machine: " + (i < machine.size() ? machine[i] : "(end)") + "\n";
    text += "  layer:   " + (i < layer.size() ? layer[i] : "(end)") + "\n";
  }
  return text;
}

struct JournaledRun {
  hardening::RunResult result;
  journal::MemorySink sink;
  std::string currentUser;
};

// The scenario run through the layer, the layer's clock the machine's virtual one.
void RunJournaled(const hardening::Scenario& scenario, JournaledRun& run) {
  sim::SimMachine* machine = nullptr;
  std::unique_ptr<journal::Journal> log;
  std::unique_ptr<journal::JournalingPlatform> layer;
  run.result = hardening::Run(
      scenario, 0, 0,
      [&](sim::SimMachine& m) {
        machine = &m;
        run.currentUser = m.Registry().CurrentUser();
      },
      [&](platform::Platform& below) -> platform::Platform& {
        log = std::make_unique<journal::Journal>(run.sink,
                                                 [&machine]() { return machine->Core().nowMs; });
        layer = std::make_unique<journal::JournalingPlatform>(below, *log);
        return layer->Platform();
      });
}

TEST(JournalingLayer, WritesTheMachinesJournalOnEveryRoute) {
  for (const hardening::Scenario& scenario : hardening::AllScenarios()) {
    SCOPED_TRACE(scenario.Name());
    JournaledRun run;
    RunJournaled(scenario, run);
    ASSERT_TRUE(run.result.wellEnded) << run.result.end;
    const std::vector<std::string> machine = FromMachine(run.result.journal);
    const std::vector<std::string> layer = FromLayer(run.sink.lines, run.currentUser);
    EXPECT_TRUE(machine == layer) << Parting(machine, layer);
    EXPECT_FALSE(layer.empty());
  }
}

TEST(JournalingLayer, ChangesNothingInTheRun) {
  for (const hardening::Scenario& scenario : hardening::AllScenarios()) {
    SCOPED_TRACE(scenario.Name());
    JournaledRun run;
    RunJournaled(scenario, run);
    hardening::RunResult plain = hardening::Run(scenario);
    EXPECT_EQ(run.result.end, plain.end);
    EXPECT_EQ(run.result.started, plain.started);
    EXPECT_EQ(hardening::Changed(plain.after, run.result.after), std::vector<std::string>{});
    EXPECT_EQ(run.result.leaks, std::vector<std::string>{});
  }
}

// "Install Device Driver" with the restart accepted, on a sample machine with a PCI device
// added: the privilege, the restart request, and the PCI and port writes of the detection of an
// AC'97 controller with the ORV5970 on Windows 9x, which the sample machines do not meet.
void InstallDriverAndRestart(const std::string& machineName,
                             const std::vector<std::string>& pciDevices) {
  SCOPED_TRACE(machineName + " with " + pciDevices.back());
  std::string error;
  std::unique_ptr<sim::SimMachine> machine = sim::LoadMachineFolder(
      std::string(ORV_SOURCE_DIR) + "/examples/machines/" + machineName, error);
  ASSERT_TRUE(machine) << error;
  ASSERT_TRUE(sim::MapHostFolder(*machine, 'D', std::string(ORV_SOURCE_DIR) + "/examples/disc",
                                 true, error))
      << error;
  ASSERT_TRUE(machine->Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error))
      << error;
  machine->Hardware().RemoveDevice(0, 0x0B, 0);  // the maker's chip, found before any codec
  for (const std::string& text : pciDevices) {
    std::optional<sim::PciDeviceSetup> device =
        sim::ParsePciDevice(text.substr(0, text.find('=')), text.substr(text.find('=') + 1), error);
    ASSERT_TRUE(device) << error;
    machine->Hardware().AddDevice(*device);
  }
  // A disc for the codec: its option file says so.
  std::string options = machine->Files().ReadFileDirect("D:\\setup.ini").value_or("");
  options.replace(options.find("InstallWDMUDACodecDriver=0"), 26, "InstallWDMUDACodecDriver=1");
  machine->Files().WriteFileDirect("D:\\setup.ini", options, win::FILE_ATTRIBUTE_READONLY);
  machine->Files().SetCurrentFolderDirect("D:\\");
  machine->SetCommandLine("D:\\SETUP.EXE", "");
  machine->Dialogs().Script(IDD_SETUP_MAIN, {sim::DialogAction::Click(IDC_INSTALL_DRIVER)});
  machine->Dialogs().Script(IDD_DRIVER_ARCH, {sim::DialogAction::Click(win::IDOK)});
  machine->Dialogs().Script(IDD_RESTART, {sim::DialogAction::Click(IDC_RESTART_YES),
                                          sim::DialogAction::Click(win::IDOK)});
  machine->Core().journal.clear();

  journal::MemorySink sink;
  journal::Journal log(sink, [&machine]() { return machine->Core().nowMs; });
  journal::JournalingPlatform layer(machine->Platform(), log);
  install::SetupCommands commands;
  ui::DialogStartupServices services(layer.Platform(), commands);
  app::SetupApp setup(layer.Platform(), services);
  try {
    setup.InitInstance();
  } catch (const sim::ProcessExit&) {
  }
  const std::vector<std::string> fromMachine = FromMachine(machine->Journal());
  const std::vector<std::string> fromLayer =
      FromLayer(sink.lines, machine->Registry().CurrentUser());
  EXPECT_TRUE(fromMachine == fromLayer) << Parting(fromMachine, fromLayer);
  std::map<std::string, int> categories;
  for (const journal::Line& line : sink.lines) {
    ++categories[line.category];
  }
  EXPECT_EQ(categories["restart"], 1);
  if (machineName == "nt4") {
    EXPECT_EQ(categories["security"], 1);
  } else {
    EXPECT_GT(categories["pci"], 0);
    EXPECT_GT(categories["port"], 0);
  }
}

TEST(JournalingLayer, WritesRestartsPrivilegesAndHardwareWrites) {
  // The vendor at function 0 stands for the device's functions.
  InstallDriverAndRestart(
      "win98", {"00:1F.0=8086:2440", "00:1F.5=8086:2445 codec=4F52:5641 decoding=off coldreset"});
  InstallDriverAndRestart("win95",
                          {"00:11.0=1106:3074", "00:11.5=1106:3059 codec=4F52:5641 decoding=off"});
  InstallDriverAndRestart("nt4", {"00:1F.0=8086:2440", "00:1F.5=8086:2445 codec=4F52:5641"});
}

// A fault in the middle of a route: the layer says which call failed, with the error the
// program got.
TEST(JournalingLayer, SaysWhichCallFailed) {
  const hardening::Scenario scenario{"win98", "button 3", ""};
  JournaledRun run;
  sim::SimMachine* machine = nullptr;
  std::unique_ptr<journal::Journal> log;
  std::unique_ptr<journal::JournalingPlatform> layer;
  run.result = hardening::Run(
      scenario, 0, 0,
      [&machine](sim::SimMachine& m) {
        machine = &m;
        m.InjectedFaults().FailNth(sim::Call::CopyFileA, 1, 112);  // the disk is full
      },
      [&](platform::Platform& below) -> platform::Platform& {
        log = std::make_unique<journal::Journal>(run.sink, [] { return std::uint64_t{0}; });
        layer = std::make_unique<journal::JournalingPlatform>(below, *log);
        return layer->Platform();
      });
  // Also the earlier driver's file held open (error 32), which the route expects.
  std::vector<std::string> copies;
  for (const journal::Line& line : run.sink.lines) {
    if (line.category == "failed" && line.text.rfind("CopyFileA ", 0) == 0) {
      copies.push_back(line.text);
    }
  }
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_TRUE(Contains(copies[0], " -> C:\\")) << copies[0];
  EXPECT_TRUE(Contains(copies[0], " failed with error 112")) << copies[0];
}

TEST(JournalFile, WritesEachLineAsTheLabToolPrintsIt) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("journal-" + std::to_string(::getpid()) + ".txt");
  {
    journal::FileSink sink(path.string());
    ASSERT_TRUE(sink.IsOpen());
    journal::Journal log(sink, [] { return std::uint64_t{1234}; });
    log.Record("registry", "create key HKEY_LOCAL_MACHINE\\Software\\Orvanta");
    // Written through at once: a run that ends abruptly keeps what it did.
    std::ifstream early(path);
    std::string first;
    std::getline(early, first);
    EXPECT_EQ(first, "    1234 ms  registry create key HKEY_LOCAL_MACHINE\\Software\\Orvanta");
    log.RecordAt(5, "wait", "300 ms");
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(),
            "    1234 ms  registry create key HKEY_LOCAL_MACHINE\\Software\\Orvanta\n"
            "       5 ms  wait     300 ms\n");
  std::filesystem::remove(path);

  journal::FileSink nowhere(
      (std::filesystem::temp_directory_path() / "no-such-folder" / "j.txt").string());
  EXPECT_FALSE(nowhere.IsOpen());
  nowhere.Write(journal::Line{0, "wait", "1 ms"});  // nothing, and no harm
  journal::FileSink unnamed("");
  EXPECT_FALSE(unnamed.IsOpen());
}

}  // namespace
