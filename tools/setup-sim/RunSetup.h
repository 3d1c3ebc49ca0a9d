// Everything one run of the launcher is set up from: the machine, the disc and where it is
// mapped, the program path and arguments, the hardware, the option file, the language and
// what the user does in the dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/HostFolder.h"
#include "platform/sim/PowerLoss.h"

namespace lab {

// The power around the run: the machine started first (its pending renames carried out, as
// Windows starts after a power loss), and the power lost at one of the run's calls.
struct PowerSetup {
  bool startFirst = false;
  std::optional<std::size_t> startLostAfter;  // the power fails again in that start, after
                                              // this many renames: the run does not happen
  std::uint64_t offAt = 0;  // the run's call, counted from 1; 0: the power stays on
  sim::CutWrite cutWrite = sim::CutWrite::Prefix;
  sim::RegistryAfterLoss registry = sim::RegistryAfterLoss::LastFlush;
};

struct RunSetup {
  std::string machineFolder;  // empty: a fresh machine of `windows`
  std::string windows;        // "95", "98", "98SE", "ME", "NT4", "2000", "XP"; empty: the folder's
  std::string disc;
  std::string discAt = "D:";
  std::string program;  // empty: the disc's SETUP.EXE
  std::string args;
  std::vector<std::string> pci;      // "SLOT=DEVICE" or "SLOT=none"
  std::vector<std::string> dialogs;  // "TEMPLATE=ACTIONS", after the answer file's
  std::string answerFile;
  std::string optionFile;                  // used as the disc's setup.ini
  std::vector<std::string> optionChanges;  // "KEY=VALUE" in [InstallOption]
  int language = 1033;
  // The disc and the machine folders' drives read once for many runs (a matrix); null: read for
  // this run alone.
  sim::HostFolders* hostFolders = nullptr;
  PowerSetup power;
};

}  // namespace lab
