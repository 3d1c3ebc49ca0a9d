#include "platform/WinConstants.h"
#include "platform/journal/JournalingPlatform.h"

namespace journal {

bool JournalSecurity::OpenProcessToken(std::uint32_t access, platform::TokenHandle& token) {
  return below_.platform.security.OpenProcessToken(access, token);
}

bool JournalSecurity::LookupPrivilegeValue(const std::string& name, platform::Luid& luid) {
  if (!below_.platform.security.LookupPrivilegeValue(name, luid)) {
    return false;
  }
  privileges_[{luid.lowPart, luid.highPart}] = name;
  return true;
}

bool JournalSecurity::AdjustTokenPrivilege(platform::TokenHandle token, platform::Luid luid,
                                           std::uint32_t attributes) {
  if (!below_.platform.security.AdjustTokenPrivilege(token, luid, attributes)) {
    below_.Failed("AdjustTokenPrivileges", "", below_.platform.system.GetLastError());
    return false;
  }
  auto it = privileges_.find({luid.lowPart, luid.highPart});
  if (it != privileges_.end() && (attributes & win::SE_PRIVILEGE_ENABLED)) {
    below_.journal.Record("security", it->second + " enabled");
  }
  return true;
}

void JournalSecurity::CloseToken(platform::TokenHandle token) {
  below_.platform.security.CloseToken(token);
}

bool JournalSecurity::ExitWindows(std::uint32_t flags, std::uint32_t reserved) {
  const std::uint64_t asked = below_.journal.Now();
  if (!below_.platform.security.ExitWindows(flags, reserved)) {
    below_.Failed("ExitWindowsEx", "flags " + std::to_string(flags),
                  below_.platform.system.GetLastError());
    return false;
  }
  below_.journal.RecordAt(asked, "restart",
                          (flags & win::EWX_REBOOT)
                              ? std::string("restart requested")
                              : "shutdown requested (flags " + std::to_string(flags) + ")");
  return true;
}

}  // namespace journal
