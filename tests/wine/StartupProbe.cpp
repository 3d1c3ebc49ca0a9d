// The launcher's start-up on the real Win32 backend, with detection and the dialogs replaced
// by a report on standard output, so that a script can check under Wine what start-up did.
// ORV_PROBE_CHIP=maker or =codec makes detection find that chip; without it detection runs for
// real (the PCI bus scan, or the detection driver).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/SetupApp.h"
#include "detect/DetectingServices.h"
#include "platform/win32/Win32Platform.h"

namespace {

class ProbeServices : public detect::DetectingServices {
 public:
  using DetectingServices::DetectingServices;
  void ChipScan(const app::InstallContext& context, app::DetectionState& detection) override {
    if (!Detect(detection)) {
      DetectingServices::ChipScan(context, detection);
      std::puts("PCI bus scan done");
    }
  }
  void RunDetectionDriver(const app::InstallContext& context,
                          app::DetectionState& detection) override {
    if (!Detect(detection)) {
      DetectingServices::RunDetectionDriver(context, detection);
      std::puts("detection driver done");
    }
  }
  void ShowNoChipDialog() override { std::puts("no-chip notice"); }
  void RunMainDialog(app::InstallContext& c, app::DetectionState& detection) override {
    std::printf("class: %s\n", app::WindowsClassNames(c).c_str());
    std::printf("sourceDir: %s\n", c.sourceDir.c_str());
    std::printf("commandLine: %s\n", c.commandLine.c_str());
    std::printf(
        "options: DriverOnly=%d WindowsMEDriverAskUser=%d WindowsMEDriver=%d "
        "InstallWDMUDACodecDriver=%d udaMode=%d\n",
        c.DriverOnly, c.WindowsMEDriverAskUser, c.WindowsMEDriver, c.InstallWDMUDACodecDriver,
        detection.udaMode);
    std::puts("main dialog");
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

int main(int argc, char** argv) {
  std::string arguments;
  for (int i = 1; i < argc; ++i) {
    arguments += (i > 1 ? " " : "") + std::string(argv[i]);
  }
  win32::Win32Platform machine(argv[0], arguments);
  ProbeServices services(machine.Platform());
  app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  std::fflush(stdout);
  return 0;
}
