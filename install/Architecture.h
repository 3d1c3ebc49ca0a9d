// The driver architecture on Windows 98 SE and ME: asked of the user when the disc's options say
// so, otherwise taken from the options.
#pragma once

#include "install/Session.h"

namespace install {

// True when the options ask the user on this system.
bool AsksForArchitecture(const MainDialogState& state);
// The question, preset with the current `useVxdDriver`, which takes the answer (and the driver
// option of the running system with it, so that the suite follows the driver); false when the
// user cancelled it, in which case the main window is closed and `architectureCancelled` set.
bool AskArchitecture(Session& session);
// The options' flavour on Windows ME and 98 SE: the VxD driver when the option is 0.
void TakeArchitectureFromOptions(MainDialogState& state);

}  // namespace install
