// setup-sim: runs the setup launcher against a disc folder on a simulated Windows machine and
// prints everything the run did.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/SetupApp.h"
#include "detect/DetectingServices.h"
#include "platform/sim/MachineFolder.h"

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
    "  --args TEXT          the command line after the program name (default: none)\n"
    "  --pci SLOT=DEVICE    puts a PCI device into the machine, or takes one out with\n"
    "                       SLOT=none; SLOT is BUS:DEVICE.FUNCTION and DEVICE is\n"
    "                       VENDOR:ID [options] in hex, as in machine.ini's [PCI] section\n"
    "                       (7C5A:0111 is the ORV6490; 8086:2445 codec=4F52:5641 an Intel\n"
    "                       AC'97 controller with the ORV5970; options decoding=off,\n"
    "                       coldreset, semaphore=N|stuck, linkready=never, busy=N, broken)\n"
    "  --save               write the machine's new state back into its folder\n"
    "  --help               this text\n";

struct Options {
  std::string machine;
  std::string disc;
  std::string args;
  std::vector<std::string> pci;
  bool save = false;
};

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
      std::optional<sim::PciDeviceSpec> parsed = sim::ParsePciDevice(slot, "0:0", error);
      if (!parsed) {
        return false;
      }
      machine.Hardware().RemoveDevice(parsed->bus, parsed->device, parsed->function);
      continue;
    }
    std::optional<sim::PciDeviceSpec> parsed = sim::ParsePciDevice(slot, device, error);
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
    bool needsValue = arg == "--machine" || arg == "--disc" || arg == "--args" || arg == "--pci";
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
    } else if (arg == "--args") {
      options.args = value;
    } else if (arg == "--pci") {
      options.pci.push_back(value);
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

// Start-up on the simulated machine: detection runs on its hardware, the dialogs are recorded
// in the journal.
class LabServices : public detect::DetectingServices {
 public:
  explicit LabServices(sim::SimMachine& machine)
      : DetectingServices(machine.Platform()), machine_(machine) {}
  void ShowNoChipDialog() override {
    machine_.Core().Record("ui", "dialog 306 \"Information - Can not find audio chip\"");
  }
  void RunMainDialog(app::InstallContext&, app::DetectionState& detection) override {
    char found[64];
    std::snprintf(found, sizeof found, "%04X:%04X codec %04X %04X", detection.chipVendorId,
                  detection.chipDeviceId, detection.chipSignature[0], detection.chipSignature[1]);
    machine_.Core().Record("ui", std::string("dialog 102, the main window (chip ") + found + ")");
  }

 private:
  sim::SimMachine& machine_;
};

void PrintContext(const app::SetupApp& setup) {
  const app::InstallContext& c = setup.Context();
  std::string flags;
  for (auto [flag, name] : {std::pair{c.isWin95, "isWin95"}, std::pair{c.isWin98, "isWin98"},
                            std::pair{c.isWin98SE, "isWin98SE"}, std::pair{c.isWinME, "isWinME"},
                            std::pair{c.isNT4, "isNT4"}, std::pair{c.isNT5, "isNT5"},
                            std::pair{c.isWinXP, "isWinXP"}}) {
    if (flag) {
      flags += " " + std::string(name);
    }
  }
  std::printf("class:%s\nsourceDir: %s\ncommandLine: %s\n", flags.c_str(), c.sourceDir.c_str(),
              c.commandLine.c_str());
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
  if (!machine || !sim::MapHostFolder(*machine, 'D', options.disc, true, error) ||
      !ApplyPci(*machine, options.pci, error)) {
    std::fprintf(stderr, "setup-sim: %s\n", error.c_str());
    return 1;
  }
  machine->SetCommandLine("D:\\SETUP.EXE", options.args);
  machine->Files().SetCurrentFolderDirect("D:\\");

  const platform::OsVersion& os = machine->Core().version;
  std::printf("machine: Windows %u.%u build %u (platform %u), Windows folder %s\n", os.majorVersion,
              os.minorVersion, os.buildNumber & 0xFFFF, os.platformId,
              machine->Files().WindowsFolder().c_str());
  std::printf("program: D:\\SETUP.EXE %s\n", options.args.c_str());

  LabServices services(*machine);
  app::SetupApp setup(machine->Platform(), services);
  try {
    setup.InitInstance();
    machine->Core().Record("process", "start-up returned: the process ends");
  } catch (const sim::ProcessExit&) {
    // The journal has the exit already.
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
  return 0;
}
