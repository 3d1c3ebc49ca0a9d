// One run of the launcher on a sample machine with the sample disc, as a user would make it:
// a Windows version, a command (a button or a command-line route), the answers to its dialogs.
// A run can fail one platform call of any kind; its end, its open handles and every change it
// made to the machine are then looked at.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace hardening {

struct Scenario {
  std::string machine;  // a folder of examples/machines
  std::string command;  // "button 3", "button 4", "button 1000", "/DRIVER", "/AP", "/SPEAKER",
                        // "WebSetup=1", "WebSetup=2"
  // The disc copied into this folder of drive C: (a path with blanks, for one) instead of
  // being drive D:.
  std::string discFolder;
  std::string Name() const {
    return machine + " " + command + (discFolder.empty() ? "" : " from " + discFolder);
  }
};

// Every sample machine with every command.
std::vector<Scenario> AllScenarios();

// The machine's state: every registry value and every file with its attributes.
using MachineDump = std::map<std::string, std::string>;

struct RunResult {
  std::string end;                 // "returned", "exit 0"..., or what went wrong
  bool wellEnded = false;          // one of the ends the launcher has
  std::vector<std::string> leaks;  // handles, searches or streams left open
  std::uint64_t calls = 0;         // platform calls made
  std::string fault;               // the failed call as the journal tells it, if one failed
  MachineDump before;
  MachineDump after;
  std::vector<std::string> started;        // the program file of every process started
  std::vector<sim::JournalEntry> journal;  // the simulated machine's, of the run
};

// The platform the launcher runs on, made from the machine's: to run it through a layer.
using PlatformOver = std::function<platform::Platform&(platform::Platform& machine)>;

// Runs the scenario; with `failCall` set, platform call number `failCall` fails with `error`.
// `prepare` changes the machine before the run; `over`, when given, is the launcher's platform.
RunResult Run(const Scenario& scenario, std::uint64_t failCall = 0, std::uint32_t error = 0,
              const std::function<void(sim::SimMachine&)>& prepare = {},
              const PlatformOver& over = {});

// The sample machine with the disc, ready for the scenario's run; null with a message.
std::unique_ptr<sim::SimMachine> MakeMachine(const Scenario& scenario, std::string& error);
// The scenario's start folder, command line and dialog answers, for a run (or a run again).
void ReadyToRun(sim::SimMachine& machine, const Scenario& scenario);
// The launcher runs on the machine (through `platform`, the machine's or a layer over it): how
// it ended ("returned", "exit 0", the power loss, what went wrong); `wellEnded` for one of the
// ends the launcher has.
std::string Launch(sim::SimMachine& machine, platform::Platform& platform, bool& wellEnded);
MachineDump Dump(sim::SimMachine& machine);

// A place (registry key or value, file) that the launcher's operations name: the keys and
// folders it installs into, cleans up or records in. A run may change these and nothing else.
bool NamedByTheLauncher(const std::string& place);

// The places (registry values, files) whose state differs between two dumps.
std::vector<std::string> Changed(const MachineDump& before, const MachineDump& after);

}  // namespace hardening
