// The platform contract on the simulated machine.
#include <cstdio>

#include "platform/sim/SimMachine.h"
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
  return RUN_ALL_TESTS();
}
