// "Install Device Driver": the driver flavour for the running Windows, the installation of that
// flavour, and how the run ends (the restart offer, the driver setup program started, or the
// main window closed).
#pragma once

#include "install/Session.h"

namespace install {

void OnInstallDriver(Session& session);

}  // namespace install
