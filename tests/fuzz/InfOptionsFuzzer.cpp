// The INF option patch changes at most two bytes of any file, never its length, and only into
// the digits of the options.
#include <cstdlib>

#include "install/InfOptions.h"
#include "platform/sim/SimMachine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  install::JackOptions options{data[0] & 1, (data[0] >> 1) & 1, (data[0] >> 2) & 1,
                               (data[0] >> 3) & 1, (data[0] >> 4) & 1};
  sim::SimMachine machine(sim::WindowsVersion::Win98SE);
  const std::string path = "C:\\WINDOWS\\INF\\OVAUDIO.INF";
  machine.Files().WriteFileDirect(path, text);
  install::PatchInfOptions(machine.Platform(), path, options);
  const std::string after = machine.Files().ReadFileDirect(path).value_or("");
  if (after.size() != text.size()) {
    std::abort();
  }
  int changed = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (after[i] != text[i]) {
      ++changed;
      if (after[i] != install::EnableLegacyDigit(options) &&
          after[i] != install::JackConfigDigit(options)) {
        std::abort();
      }
    }
  }
  if (changed > 2) {
    std::abort();
  }
  return 0;
}
