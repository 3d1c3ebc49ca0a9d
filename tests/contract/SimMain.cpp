// The platform contract on the simulated machine.
#include <cstdio>

#include "platform/sim/SimMachine.h"
#include "platform/sim/Text.h"
#include "tests/contract/ContractEnv.h"
#include "ui/CompiledResources.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // An NT-family machine, as Wine reports itself by default.
  sim::SimMachine machine(sim::WindowsVersion::WinXP);
  machine.Files().MakeFoldersDirect("C:\\Documents and Settings\\Contract Tests");
  std::string error;
  if (!machine.Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  contract::Environment& env = contract::Env();
  env.platform = &machine.Platform();
  env.simulated = true;
  env.scratch = "C:\\Documents and Settings\\Contract Tests\\";
  env.plantProgram = [&machine](const std::string& path) {
    machine.Files().WriteFileDirect(path, "MZ");
    std::string name = path.substr(path.rfind('\\') + 1);
    sim::ProgramBehaviour behaviour;
    behaviour.runsForMs = 200;
    behaviour.exitCode = static_cast<std::uint32_t>(100 + name.size());
    machine.Processes().DefineProgram(path, behaviour);
  };
  // A sound card's mixer, and one whose driver fills the whole name field.
  machine.Multimedia().AddMixer("Orvanta PCI Mixer");
  machine.Multimedia().AddMixer("Mixer of a driver that fills it!");
  env.plantDriverLibrary = [&machine](const std::string& path, bool refuses) {
    machine.Files().WriteFileDirect(path, "MZ");
    machine.Multimedia().SetLibrary(path, sim::DriverLibrary{!refuses, true});
  };
  env.driverMessages = [&machine](const std::string& path) {
    std::string full = machine.Files().FullPath(path);
    std::vector<std::string> lines;
    for (const sim::DriverMessage& message : machine.Multimedia().Messages()) {
      if (sim::EqualsNoCase(message.path, full)) {
        lines.push_back(std::to_string(message.message) + " " + std::to_string(message.param1));
      }
    }
    return lines;
  };
  return RUN_ALL_TESTS();
}
