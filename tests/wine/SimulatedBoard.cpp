// The test-only board of the real Setup.exe under Wine: the PCI BIOS and PCI devices of the
// machine.ini that ORV_SIM_MACHINE names ([Hardware] PciBios=, [PCI]) become the PCI
// configuration space and I/O ports of the run, through the simulated machine's hardware model;
// everything else is the real Win32 backend. Linked in place of program/BoardPlatform.cpp
// into a build of the same entry point, never into the shipped program. Without a readable,
// well-formed description the program ends with 3 at once and says why on its error output.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sim/MachineFolder.h"
#include "platform/sim/ProfileDocument.h"
#include "platform/sim/SimHardware.h"
#include "program/BoardPlatform.h"

namespace program {

namespace {

[[noreturn]] void Refuse(const std::string& why) {
  std::fprintf(stderr, "simulated board: %s\n", why.c_str());
  std::exit(3);
}

}  // namespace

platform::Platform& BoardPlatform(platform::Platform& machine) {
  static sim::SimCore core;
  static sim::SimHardware hardware(core);
  static platform::Platform board{machine.system,     machine.registry,  machine.profiles,
                                  machine.files,      machine.processes, machine.ui,
                                  machine.dialogs,    machine.services,  hardware,
                                  machine.multimedia, machine.security};
  const char* path = std::getenv("ORV_SIM_MACHINE");
  if (path == nullptr) {
    Refuse("ORV_SIM_MACHINE names no machine.ini");
  }
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) {
    Refuse(std::string("cannot read ") + path);
  }
  std::string error;
  if (!sim::ReadPciDevices(sim::ProfileDocument(text.str()), hardware, error)) {
    Refuse(error);
  }
  return board;
}

}  // namespace program
