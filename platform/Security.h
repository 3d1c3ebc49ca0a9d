// Security and shutdown: OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges,
// CloseHandle, ExitWindowsEx. Calls that return bool leave the reason in GetLastError.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handle.h"

namespace platform {

struct Luid {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
};

class Security {
 public:
  virtual ~Security() = default;

  virtual bool OpenProcessToken(std::uint32_t access, TokenHandle& token) = 0;
  virtual bool LookupPrivilegeValue(const std::string& name, Luid& luid) = 0;
  // One privilege with the given attributes, others untouched, no previous state asked for.
  virtual bool AdjustTokenPrivilege(TokenHandle token, Luid luid, std::uint32_t attributes) = 0;
  virtual void CloseToken(TokenHandle token) = 0;
  virtual bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) = 0;
};

}  // namespace platform
