// A simulated machine made ready for one run: loaded from its folder (checked first: whole, of
// the version asked for) or made fresh, with the disc mapped, its option file checked, the
// hardware, the dialog templates and the user's script, and the program's command line.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/RunSetup.h"

namespace lab {

struct PreparedMachine {
  std::unique_ptr<sim::SimMachine> machine;
  std::string windowsName;         // "98SE"...
  std::string program;             // the program path the process starts with
  std::vector<std::string> notes;  // what the user should know, such as a save left over
};

// Null with a message naming the problem.
std::unique_ptr<PreparedMachine> PrepareMachine(const RunSetup& setup, std::string& error);

// A fresh machine of a version: drive C: with what every installed Windows of that version has,
// the ORV6490 on the PCI bus.
std::unique_ptr<sim::SimMachine> FreshMachine(sim::WindowsVersion version);

// The Windows version a machine folder's machine.ini names, or empty.
std::string MachineFolderVersion(const std::string& folder);

}  // namespace lab
