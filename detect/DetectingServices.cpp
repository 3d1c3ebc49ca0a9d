#include "detect/DetectingServices.h"

#include "detect/ChipScan.h"
#include "detect/DetectionDriver.h"

namespace detect {

void DetectingServices::ChipScan(const app::InstallContext&, app::DetectionState& detection) {
  detect::ChipScan(platform_.hardware, platform_.system, detection);
}

void DetectingServices::RunDetectionDriver(const app::InstallContext& context,
                                           app::DetectionState& detection) {
  detect::RunDetectionDriver(platform_.services, platform_.files, context.sourceDir, detection);
}

}  // namespace detect
