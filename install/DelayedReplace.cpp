#include "install/DelayedReplace.h"

#include "app/RegistryText.h"
#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenames = "PendingFileRenameOperations";
constexpr std::uint32_t kListCapacity = 1u << 20;

}  // namespace

bool CanScheduleAtNextStart(platform::Registry& registry) {
  app::ScopedKey key(registry, win::HKEY_LOCAL_MACHINE, kSessionManager, win::KEY_SET_VALUE);
  return key.IsOpen();
}

bool ScheduleReplacements(platform::Platform& platform,
                          const std::vector<Replacement>& replacements) {
  // The list as it stands, to be put back should a move be refused half-way: the moves already
  // asked for would delete an installed file with nothing put in its place.
  app::ScopedKey key(platform.registry, win::HKEY_LOCAL_MACHINE, kSessionManager,
                     win::KEY_QUERY_VALUE | win::KEY_SET_VALUE);
  if (!key.IsOpen()) {
    return false;
  }
  platform::RegData before;
  const std::int32_t read =
      platform.registry.QueryValue(key.Get(), kPendingRenames, kListCapacity, before);
  if (read != win::ERROR_SUCCESS && read != win::ERROR_FILE_NOT_FOUND) {
    return false;  // a list it cannot read whole, it could not put back
  }
  platform::Files& files = platform.files;
  for (const Replacement& replacement : replacements) {
    files.SetAttributes(replacement.installed, win::FILE_ATTRIBUTE_NORMAL);
    if (!files.MoveFile(replacement.installed, std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT) ||
        !files.MoveFile(replacement.temporary, replacement.installed,
                        win::MOVEFILE_DELAY_UNTIL_REBOOT)) {
      if (read == win::ERROR_SUCCESS) {
        platform.registry.SetValue(key.Get(), kPendingRenames, before.type, before.bytes.data(),
                                   static_cast<std::uint32_t>(before.bytes.size()));
      } else {
        platform.registry.DeleteValue(key.Get(), kPendingRenames);
      }
      return false;
    }
  }
  return true;
}

bool ReplaceAtNextStart(platform::Platform& platform, const std::string& source,
                        const std::string& temporary, const std::string& installed) {
  return ReplaceCopy(platform.files, source, temporary) &&
         ScheduleReplacements(platform, {Replacement{temporary, installed}});
}

}  // namespace install
