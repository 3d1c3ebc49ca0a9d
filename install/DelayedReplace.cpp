#include "install/DelayedReplace.h"

#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

bool ReplaceAtNextStart(platform::Files& files, const std::string& source,
                        const std::string& temporary, const std::string& installed) {
  if (!ReplaceCopy(files, source, temporary)) {
    return false;
  }
  bool deletion = files.MoveFile(installed, std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT);
  bool rename = files.MoveFile(temporary, installed, win::MOVEFILE_DELAY_UNTIL_REBOOT);
  return deletion && rename;
}

}  // namespace install
