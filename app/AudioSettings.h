// The system audio settings start-up makes before the main window opens: the CD player's
// digital-audio mode, the default recording format, the suite's stale auto-start entry and the
// system start-up sound. Each adjustment stands alone; none reports anything.
#pragma once

#include <string>

#include "app/InstallContext.h"
#include "platform/Platform.h"

namespace app {

void ApplyAudioSettings(platform::Platform& platform, const std::string& optionFile,
                        const InstallContext& context);

// The four adjustments, in the order ApplyAudioSettings makes them.
void SetCdAudioMode(platform::Platform& platform, const std::string& optionFile);
void SetDefaultRecordingFormat(platform::Registry& registry);
void RemoveStaleAutoStart(platform::Registry& registry);
void RepairStartupSound(platform::Platform& platform);

}  // namespace app
