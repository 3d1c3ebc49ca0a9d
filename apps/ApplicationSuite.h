// The maker's application suite: its running programs closed, an earlier suite uninstalled and
// waited for, then the suite's own setup program for this Windows and driver flavour started
// from the disc. The launcher ends afterwards in every case.
#pragma once

#include <string>
#include <vector>

#include "app/InstallContext.h"
#include "platform/Platform.h"

namespace apps {

// The setup programs to try, below the disc folder, in order, for the Windows class and the
// chosen driver flavour; empty when no row applies.
std::vector<std::string> SuiteSetupCandidates(const app::WindowsClass& windows,
                                              const app::InstallOptions& options);

// `owner` owns the message box shown when the disc has no setup program for this system.
[[noreturn]] void OnInstallApplications(platform::Platform& platform,
                                        const app::WindowsClass& windows,
                                        const app::InstallOptions& options,
                                        const std::string& sourceDir, platform::WindowHandle owner);

}  // namespace apps
