// The platform contract on the simulated machine: by default a Windows XP machine, as Wine
// reports itself by default.
//
//   contract_tests_sim [--windows 95|98|98SE|ME|NT4|2000|XP] [--not-administrator]
//                      [--user-profile NAME] [gtest options]
#include <cstdio>
#include <cstring>

#include "platform/sim/SimMachine.h"
#include "platform/sim/Text.h"
#include "tests/contract/ContractEnv.h"
#include "ui/CompiledResources.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  sim::WindowsVersion version = sim::WindowsVersion::WinXP;
  bool administrator = true;
  std::string userProfile;
  for (int i = 1; i < argc; ++i) {
    std::optional<sim::WindowsVersionInfo> info;
    if (std::strcmp(argv[i], "--windows") == 0 && i + 1 < argc &&
        (info = sim::FindWindowsVersion(argv[i + 1]))) {
      version = info->version;
      ++i;
    } else if (std::strcmp(argv[i], "--not-administrator") == 0) {
      administrator = false;
    } else if (std::strcmp(argv[i], "--user-profile") == 0 && i + 1 < argc) {
      userProfile = argv[++i];
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  sim::SimMachine machine(version);
  machine.Services().SetAdministrator(administrator);
  if (!userProfile.empty()) {
    machine.Registry().SetCurrentUser(userProfile);
  }
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
    const std::string folder = path.substr(0, path.rfind('\\') + 1);
    auto define = [&machine, &folder](const std::string& name) {
      sim::ProgramBehaviour behaviour;
      behaviour.runsForMs = 200;
      behaviour.exitCode = static_cast<std::uint32_t>(100 + name.size());
      std::string upper = sim::Upper(name);
      if (upper == "SLEEPER.EXE" || upper == "RELAYED.EXE") {
        behaviour.runsForMs = 1500;
      } else if (upper == "EXIT259.EXE") {
        behaviour.runsForMs = 300;
        behaviour.exitCode = 259;
      } else if (upper == "RELAY.EXE") {
        behaviour.exitCode = 0;
        behaviour.handsOverTo = folder + "relayed.exe";
      }
      if (upper == "EXIT259.EXE" || upper == "RELAYED.EXE") {
        behaviour.windowTitle = contract::kPlantedTitle + name;
      }
      machine.Processes().DefineProgram(folder + name, behaviour);
    };
    define(path.substr(folder.size()));
    define("relayed.exe");
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
