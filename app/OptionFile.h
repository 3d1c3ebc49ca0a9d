// The disc's option file "setup.ini": section "InstallOption", nine integer keys.
#pragma once

#include <string>

#include "app/InstallContext.h"
#include "platform/Profiles.h"

namespace app {

// Each key read with GetPrivateProfileIntA and its default; a missing file gives the defaults.
InstallOptions ReadInstallOptions(platform::Profiles& profiles, const std::string& optionFile);

// The codec variant: a non-zero "InstallWDMUDACodecDriver" sets udaMode and forces the WDM
// flavour everywhere, without asking the user.
void ApplyCodecOverrides(InstallOptions& options, DetectionState& detection);

}  // namespace app
