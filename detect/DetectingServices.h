// Start-up's detection steps done for real: the PCI bus scan on the Windows 9x family, the
// detection driver on the NT family. The windows start-up shows stay for the caller to give.
#pragma once

#include "app/SetupApp.h"
#include "platform/Platform.h"

namespace detect {

class DetectingServices : public app::StartupServices {
 public:
  explicit DetectingServices(platform::Platform& platform) : platform_(platform) {}

  void ChipScan(const app::InstallContext& context, app::DetectionState& detection) override;
  void RunDetectionDriver(const app::InstallContext& context,
                          app::DetectionState& detection) override;

 protected:
  platform::Platform& platform_;
};

}  // namespace detect
