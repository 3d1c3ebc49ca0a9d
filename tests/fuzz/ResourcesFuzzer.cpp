// The dialog-template reader takes any .res image with a clear answer, and a dialog it found
// can be shown by the simulated dialog manager.
#include <cstdlib>

#include "platform/sim/SimMachine.h"

namespace {

class Closing : public platform::DialogEvents {
 public:
  explicit Closing(platform::Dialogs& dialogs) : dialogs_(dialogs) {}
  bool OnInitDialog(platform::WindowHandle dialog) override {
    dialogs_.EndDialog(dialog, 1);
    return true;
  }
  bool OnCommand(platform::WindowHandle, int, int) override { return false; }

 private:
  platform::Dialogs& dialogs_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  sim::SimMachine machine;
  std::string error;
  if (!machine.Dialogs().LoadResources(data, size, error)) {
    if (error.empty()) {
      std::abort();
    }
    return 0;
  }
  for (const auto& [id, language] : machine.Dialogs().Templates().DialogIds()) {
    machine.Dialogs().SetLanguage(language);
    Closing events(machine.Platform().dialogs);
    if (machine.Dialogs().DoModal(id, {}, events) != 1) {
      std::abort();
    }
  }
  machine.Dialogs().LoadString(101, 256);
  return 0;
}
