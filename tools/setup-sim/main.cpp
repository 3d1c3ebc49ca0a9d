// setup-sim: runs the setup launcher against a disc folder on a simulated Windows machine and
// prints everything the run did.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/sim/MachineFolder.h"
#include "ui/CompiledResources.h"
#include "ui/StartupDialogs.h"

namespace {

const char kUsage[] =
    "usage: setup-sim --machine DIR --disc DIR [options]\n"
    "\n"
    "Runs the setup launcher on a simulated Windows machine and prints the journal of every\n"
    "change it made: registry, files, profile files, programs started, dialogs and message\n"
    "boxes, waits, pending renames, restart and exit.\n"
    "\n"
    "  --machine DIR        the machine folder (machine.ini, registry.reg, drive_c/...)\n"
    "  --disc DIR           the disc folder, mapped read-only as drive D:\n"
    "  --disc-at ROOT       where the disc is mapped instead: a drive (E:) or a network\n"
    "                       share (\\\\server\\share)\n"
    "  --program PATH       the program path as Windows hands it over (default: the\n"
    "                       disc's SETUP.EXE; .\\SETUP.EXE is a start from a command\n"
    "                       prompt in the disc's root)\n"
    "  --args TEXT          the command line after the program name (default: none)\n"
    "  --pci SLOT=DEVICE    puts a PCI device into the machine, or takes one out with\n"
    "                       SLOT=none; SLOT is BUS:DEVICE.FUNCTION and DEVICE is\n"
    "                       VENDOR:ID [options] in hex, as in machine.ini's [PCI] section\n"
    "                       (7C5A:0111 is the ORV6490; 8086:2445 codec=4F52:5641 an Intel\n"
    "                       AC'97 controller with the ORV5970; options decoding=off,\n"
    "                       coldreset, semaphore=N|stuck, linkready=never, busy=N, broken)\n"
    "  --dialog ID=ACTIONS  what the user does in dialog template ID, in order, comma-\n"
    "                       separated: click:CONTROL, close, syscommand:0x10, or\n"
    "                       owner:CONTROL (a click in the window behind the dialog, which\n"
    "                       is disabled while it runs) (102 is the main window, 306 the\n"
    "                       no-chip notice, 130 the driver architecture, 132 the restart\n"
    "                       offer, 103 the jack options, 100 About); a dialog shown with\n"
    "                       no action left stops the run\n"
    "  --language ID        the language of the dialogs (1033 English, 1028, 1036, 1041,\n"
    "                       1042)\n"
    "  --save               write the machine's new state back into its folder\n"
    "  --help               this text\n";

struct Options {
  std::string machine;
  std::string disc;
  std::string discAt = "D:";
  std::string program;
  std::string args;
  std::vector<std::string> pci;
  std::vector<std::string> dialogs;
  int language = 1033;
  bool save = false;
};

// Applies the --dialog options to the machine's dialog manager.
bool ApplyDialogs(sim::SimMachine& machine, const std::vector<std::string>& scripts,
                  std::string& error) {
  for (const std::string& text : scripts) {
    std::size_t equals = text.find('=');
    int id = 0;
    try {
      id = std::stoi(text.substr(0, equals));
    } catch (...) {
      equals = std::string::npos;
    }
    if (equals == std::string::npos) {
      error = "--dialog takes ID=ACTIONS, such as 102=click:3,click:2";
      return false;
    }
    std::vector<sim::DialogAction> actions;
    std::size_t start = equals + 1;
    while (start <= text.size()) {
      std::size_t comma = text.find(',', start);
      std::string word = text.substr(start, comma == std::string::npos ? comma : comma - start);
      sim::DialogAction action;
      if (!sim::ParseDialogAction(word, action)) {
        error =
            "--dialog: \"" + word + "\" is not click:CONTROL, owner:CONTROL, close or syscommand:N";
        return false;
      }
      actions.push_back(action);
      if (comma == std::string::npos) {
        break;
      }
      start = comma + 1;
    }
    machine.Dialogs().Script(id, actions);
  }
  return true;
}

// Applies the --pci options to the machine's hardware.
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
    if (device == "none") {
      std::optional<sim::PciDeviceSetup> parsed = sim::ParsePciDevice(slot, "0:0", error);
      if (!parsed) {
        return false;
      }
      machine.Hardware().RemoveDevice(parsed->bus, parsed->device, parsed->function);
      continue;
    }
    std::optional<sim::PciDeviceSetup> parsed = sim::ParsePciDevice(slot, device, error);
    if (!parsed) {
      return false;
    }
    machine.Hardware().AddDevice(*parsed);
  }
  return true;
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    std::string value;
    bool needsValue = arg == "--machine" || arg == "--disc" || arg == "--disc-at" ||
                      arg == "--program" || arg == "--args" || arg == "--pci" ||
                      arg == "--dialog" || arg == "--language";
    if (needsValue) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (arg == "--machine") {
      options.machine = value;
    } else if (arg == "--disc") {
      options.disc = value;
    } else if (arg == "--disc-at") {
      options.discAt = value;
    } else if (arg == "--program") {
      options.program = value;
    } else if (arg == "--args") {
      options.args = value;
    } else if (arg == "--pci") {
      options.pci.push_back(value);
    } else if (arg == "--dialog") {
      options.dialogs.push_back(value);
    } else if (arg == "--language") {
      options.language = std::atoi(value.c_str());
    } else if (arg == "--save") {
      options.save = true;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.machine.empty() || options.disc.empty()) {
    error = "--machine and --disc are required";
    return false;
  }
  return true;
}

void PrintContext(const app::SetupApp& setup) {
  const app::InstallContext& c = setup.Context();
  std::printf("class: %s\nsourceDir: %s\ncommandLine: %s\n", app::WindowsClassNames(c).c_str(),
              c.sourceDir.c_str(), c.commandLine.c_str());
  std::printf(
      "options: DriverOnly=%d WindowsMEDriverAskUser=%d WindowsMEDriver=%d "
      "Windows98SEDriverAskUser=%d Windows98SEDriver=%d WebSetup=%d InstallWDMDriver=%d "
      "InstallWDMUDACodecDriver=%d UDAWindows98Driver=%d udaMode=%d\n",
      c.DriverOnly, c.WindowsMEDriverAskUser, c.WindowsMEDriver, c.Windows98SEDriverAskUser,
      c.Windows98SEDriver, c.WebSetup, c.InstallWDMDriver, c.InstallWDMUDACodecDriver,
      c.UDAWindows98Driver, setup.Detection().udaMode);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  Options options;
  std::string error;
  if (!ParseOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "setup-sim: %s\n\n%s", error.c_str(), kUsage);
    return 2;
  }
  std::unique_ptr<sim::SimMachine> machine = sim::LoadMachineFolder(options.machine, error);
  if (!machine || !sim::MapHostFolder(*machine, options.discAt, options.disc, true, error) ||
      !ApplyPci(*machine, options.pci, error) || !ApplyDialogs(*machine, options.dialogs, error) ||
      !machine->Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error)) {
    std::fprintf(stderr, "setup-sim: %s\n", error.c_str());
    return 1;
  }
  const std::string discRoot = options.discAt + "\\";
  const std::string program = options.program.empty() ? discRoot + "SETUP.EXE" : options.program;
  machine->Files().SetCurrentFolderDirect(discRoot);
  machine->SetCommandLine(program, options.args);

  const platform::OsVersion& os = machine->Core().version;
  std::printf("machine: Windows %u.%u build %u (platform %u), Windows folder %s\n", os.majorVersion,
              os.minorVersion, os.buildNumber & 0xFFFF, os.platformId,
              machine->Files().WindowsFolder().c_str());
  std::printf("program: %s %s\n", program.c_str(), options.args.c_str());

  machine->Dialogs().SetLanguage(options.language);
  install::SetupCommands commands;
  ui::DialogStartupServices services(machine->Platform(), commands);
  app::SetupApp setup(machine->Platform(), services);
  int status = 0;
  try {
    setup.InitInstance();
    machine->Core().Record("process", "start-up returned: the process ends");
  } catch (const sim::ProcessExit&) {
    // The journal has the exit already.
  } catch (const sim::UnscriptedDialog& stop) {
    machine->Core().Record("stopped", stop.what());
    std::fprintf(stderr, "setup-sim: %s (give it actions with --dialog)\n", stop.what());
    status = 3;
  }
  if (machine->Security().RestartRequested()) {
    machine->Restart();
  }
  PrintContext(setup);
  std::printf("journal:\n");
  for (const sim::JournalEntry& entry : machine->Journal()) {
    std::printf("%8llu ms  %-8s %s\n", static_cast<unsigned long long>(entry.timeMs),
                entry.category.c_str(), entry.text.c_str());
  }
  if (options.save && !sim::SaveMachineFolder(*machine, options.machine, error)) {
    std::fprintf(stderr, "setup-sim: %s\n", error.c_str());
    return 1;
  }
  return status;
}
