// The post-restart state file "ORVSETUP.INI" in the Windows folder: whether a restart is pending
// and whether a driver setup program still has to run after it. The launcher writes it, key by
// key, and never reads it; whatever runs after the restart does.
#pragma once

#include <string>

#include "install/MainDialogState.h"
#include "platform/Platform.h"

namespace install {

// When the main dialog opens, before any command runs: no restart pending on NT 4.0, one on
// every other system, and no driver setup to run.
void ResetStateFile(platform::Platform& platform, int isNT4);
// The NT 4.0 driver installed within the combined command: a restart is pending.
void NoteRestartPending(platform::Platform& platform);
// The WDM driver staged, its setup program started at once: a restart is pending, nothing else.
void NoteWdmStaged(platform::Platform& platform);
// The WDM driver staged, its setup program `command` to run after the restart (the DirectX
// step on Windows 98 SE, and first of all when its cabinets were found or on other systems).
void NoteWdmSetupDeferred(platform::Platform& platform, const MainDialogState& state,
                          const std::string& command);

}  // namespace install
