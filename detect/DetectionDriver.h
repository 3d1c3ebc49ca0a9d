// The detection driver of the NT family: the disc's "orvainfo.sys" registered as a temporary
// kernel-driver service, started, asked for the chip's identity through its device, stopped
// and removed again.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/InstallContext.h"
#include "platform/Files.h"
#include "platform/Services.h"

namespace detect {

using IdentityReply = std::array<std::uint8_t, 256>;

// The five operations, each with its own handle kept within it.
int CreateDriverService(platform::Services& services, platform::ServiceHandle manager,
                        const std::string& name, const std::string& driverPath);
int StartDriverService(platform::Services& services, platform::ServiceHandle manager,
                       const std::string& name);
int StopDriverService(platform::Services& services, platform::ServiceHandle manager,
                      const std::string& name);
int DeleteDriverService(platform::Services& services, platform::ServiceHandle manager,
                        const std::string& name);
// 1 when the device opened and answered with exactly 256 bytes; the reply keeps whatever the
// driver wrote into it either way.
int QueryChipIdentity(platform::Services& services, const std::string& name, int udaMode,
                      IdentityReply& reply);

// The whole exchange; words 0 to 3 of the reply become the detection state, whatever the steps
// before returned. The service is given the full path of the driver file in `sourceDir`.
void RunDetectionDriver(platform::Services& services, platform::Files& files,
                        const std::string& sourceDir, app::DetectionState& detection);

}  // namespace detect
