// setup-sim: runs the setup launcher against a disc folder on a simulated Windows machine and
// prints everything the run did.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/sim/MachineFolder.h"

namespace {

const char kUsage[] =
    "usage: setup-sim --machine DIR --disc DIR [options]\n"
    "\n"
    "Runs the setup launcher on a simulated Windows machine and prints the journal of every\n"
    "change it made: registry, files, profile files, programs started, dialogs and message\n"
    "boxes, waits, pending renames, restart and exit.\n"
    "\n"
    "  --machine DIR   the machine folder (machine.ini, registry.reg, drive_c/...)\n"
    "  --disc DIR      the disc folder, mapped read-only as drive D:\n"
    "  --args TEXT     the command line after the program name (default: none)\n"
    "  --save          write the machine's new state back into its folder\n"
    "  --help          this text\n";

struct Options {
  std::string machine;
  std::string disc;
  std::string args;
  bool save = false;
};

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](std::string& target) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      target = argv[++i];
      return true;
    };
    if (arg == "--machine") {
      if (!value(options.machine))
        return false;
    } else if (arg == "--disc") {
      if (!value(options.disc))
        return false;
    } else if (arg == "--args") {
      if (!value(options.args))
        return false;
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

void PrintJournal(const sim::SimMachine& machine) {
  for (const sim::JournalEntry& entry : machine.Journal()) {
    std::printf("%8llu ms  %-8s %s\n", static_cast<unsigned long long>(entry.timeMs),
                entry.category.c_str(), entry.text.c_str());
  }
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
  if (!machine || !sim::MapHostFolder(*machine, 'D', options.disc, true, error)) {
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
  PrintJournal(*machine);
  if (options.save && !sim::SaveMachineFolder(*machine, options.machine, error)) {
    std::fprintf(stderr, "setup-sim: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
