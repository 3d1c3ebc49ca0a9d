// setup-sim init DIR: a skeleton driver disc to start from.
#include <cstdio>

#include "tools/setup-sim/CommandLine.h"
#include "tools/setup-sim/DiscSkeleton.h"

namespace lab {

void AddInitOptions(CLI::App& init, InitCommandLine& options) {
  init.add_option("folder", options.folder, "the new disc folder: new, or empty")->required();
}

int Init(const InitCommandLine& options) {
  std::size_t files = 0;
  std::string error;
  if (!WriteDiscSkeleton(options.folder, files, error)) {
    return Refuse("init", false, "init: " + error, kExitFailed);
  }
  std::printf(
      "%s: a skeleton driver disc of %zu files, each a placeholder named as the launcher looks "
      "for it.\nReplace them with the real files, set the options in setup.ini, then:\n"
      "  setup-sim lint %s\n  setup-sim matrix --disc %s --commands all\n",
      options.folder.c_str(), files, options.folder.c_str(), options.folder.c_str());
  return 0;
}

}  // namespace lab
