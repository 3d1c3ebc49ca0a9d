// The machine-folder loader refuses a broken folder with a message and never writes into it.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sim/MachineFolder.h"
#include "tests/fuzz/FuzzInput.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One folder for the whole run, removed at its end; each input rewrites its three files.
  struct Scratch {
    fs::path folder =
        fs::temp_directory_path() / ("orv-machine-fuzz-" + std::to_string(::getpid()));
    Scratch() {
      fs::remove_all(folder);
      fs::create_directories(folder / "drive_c");
    }
    ~Scratch() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  };
  static const Scratch scratch;
  const fs::path& folder = scratch.folder;
  // machine.ini \x00 registry.reg \x00 files.txt
  std::vector<std::string> parts = fuzz::Split(data, size, std::string_view("\0", 1), 3);
  // A drive mapped to a folder outside the scratch folder (a parent or an absolute path) would
  // read whatever the host keeps there into memory, which says nothing about the loader.
  if (parts[0].find("..") != std::string::npos || parts[0].find('/') != std::string::npos) {
    return 0;
  }
  Write(folder / "machine.ini", parts[0]);
  Write(folder / "registry.reg", parts[1]);
  Write(folder / "files.txt", parts[2]);
  std::string error;
  std::unique_ptr<sim::SimMachine> machine = sim::LoadMachineFolder(folder, error);
  if (!machine && error.empty()) {
    std::abort();  // a refusal always says why
  }
  std::size_t files = 0;
  for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator();
       ++it) {
    ++files;
  }
  if (files != 4) {
    std::abort();  // loading wrote something into the folder
  }
  return 0;
}
