// Security and shutdown of the simulated machine: tokens and privileges on the NT family
// (Windows 9x has none), and a restart that is recorded for whoever runs the machine to carry out.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Security.h"
#include "platform/sim/SimCore.h"

namespace sim {

class SimSecurity : public platform::Security {
 public:
  explicit SimSecurity(SimCore& core) : core_(core) {}

  bool RestartRequested() const { return restartRequested_; }
  int OpenTokenCount() const { return openTokens_; }

  bool OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) override;
  bool LookupPrivilegeValue(const std::string& name, platform::Luid& luid) override;
  bool AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                            std::uint32_t attributes) override;
  void CloseToken(platform::TokenHandle token) override;
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;

 private:
  SimCore& core_;
  bool shutdownPrivilege_ = false;
  bool restartRequested_ = false;
  int openTokens_ = 0;
};

}  // namespace sim
