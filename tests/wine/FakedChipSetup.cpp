// The real Setup.exe, its dialogs and commands, with the chip detection faked: Wine cannot give
// a program PCI ports, so on the Windows 9x versions the real PCI bus scan finds nothing.
// ORV_PROBE_CHIP=maker makes detection find the maker's chip (7C5A/0111), =codec the ORV5970
// behind an Intel controller (8086/2445, codec 4F52/5641); without it detection runs for real.
// Everything else runs as in Setup.exe, on the real Win32 backend.
#include <cstdlib>
#include <cstring>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/win32/Win32Platform.h"
#include "ui/StartupDialogs.h"

#include "platform/win32/WinApi.h"

namespace {

class FakedChipServices : public ui::DialogStartupServices {
 public:
  using DialogStartupServices::DialogStartupServices;
  void ChipScan(const app::InstallContext& context, app::DetectionState& detection) override {
    if (!Detect(detection)) {
      DialogStartupServices::ChipScan(context, detection);
    }
  }
  void RunDetectionDriver(const app::InstallContext& context,
                          app::DetectionState& detection) override {
    if (!Detect(detection)) {
      DialogStartupServices::RunDetectionDriver(context, detection);
    }
  }

 private:
  static bool Detect(app::DetectionState& detection) {
    const char* chip = std::getenv("ORV_PROBE_CHIP");
    if (chip != nullptr && std::strcmp(chip, "maker") == 0) {
      detection.chipVendorId = 0x7C5A;
      detection.chipDeviceId = 0x0111;
      return true;
    }
    if (chip != nullptr && std::strcmp(chip, "codec") == 0) {
      detection.chipVendorId = 0x8086;
      detection.chipDeviceId = 0x2445;
      detection.chipSignature[0] = 0x4F52;
      detection.chipSignature[1] = 0x5641;
      return true;
    }
    return false;
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  static install::SetupCommands commands;
  static FakedChipServices services(machine.Platform(), commands);
  static app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  return 0;
}
