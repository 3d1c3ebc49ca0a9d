// "Install Device Driver and Applications": the driver without the restart offer, its WDM setup
// deferred to the next start, then the application suite.
#pragma once

#include "install/Session.h"

namespace install {

void OnCombinedInstall(Session& session);

// True when the Precopy folder holds all six Windows 98 SE driver cabinets.
bool PrecopyCabsPresent(platform::Files& files);

}  // namespace install
