#include "install/DelayedReplace.h"

#include "app/RegistryText.h"
#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

bool CanScheduleAtNextStart(platform::Registry& registry) {
  app::ScopedKey key(registry, win::HKEY_LOCAL_MACHINE,
                     "SYSTEM\\CurrentControlSet\\Control\\Session Manager", win::KEY_SET_VALUE);
  return key.IsOpen();
}

bool ScheduleReplacements(platform::Files& files, const std::vector<Replacement>& replacements) {
  for (const Replacement& replacement : replacements) {
    files.SetAttributes(replacement.installed, win::FILE_ATTRIBUTE_NORMAL);
    if (!files.MoveFile(replacement.installed, std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT) ||
        !files.MoveFile(replacement.temporary, replacement.installed,
                        win::MOVEFILE_DELAY_UNTIL_REBOOT)) {
      return false;
    }
  }
  return true;
}

bool ReplaceAtNextStart(platform::Files& files, const std::string& source,
                        const std::string& temporary, const std::string& installed) {
  return ReplaceCopy(files, source, temporary) &&
         ScheduleReplacements(files, {Replacement{temporary, installed}});
}

}  // namespace install
