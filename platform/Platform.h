// The one platform interface the launcher's logic reaches Windows through, grouped by service.
// Backends: platform/win32/ (the real calls) and platform/sim/ (the simulated machine).
#pragma once

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Hardware.h"
#include "platform/Multimedia.h"
#include "platform/Processes.h"
#include "platform/Profiles.h"
#include "platform/Registry.h"
#include "platform/Security.h"
#include "platform/Services.h"
#include "platform/System.h"
#include "platform/Ui.h"
#include "platform/WinConstants.h"

namespace platform {

struct Platform {
  System& system;
  Registry& registry;
  Profiles& profiles;
  Files& files;
  Processes& processes;
  Ui& ui;
  Dialogs& dialogs;
  Services& services;
  Hardware& hardware;
  Multimedia& multimedia;
  Security& security;
};

}  // namespace platform
