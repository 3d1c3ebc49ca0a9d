#include "app/SourceDir.h"

#include "app/Paths.h"
#include "platform/WinConstants.h"

namespace app {

std::string DeriveSourceDir(const std::string& programPath, platform::Files& files) {
  // Cut the file name: the last backslash at index 1 or later, and what follows it.
  std::string folder = programPath;
  std::size_t slash = folder.find_last_of('\\');
  if (slash != std::string::npos && slash >= 1) {
    folder.erase(slash);
  } else if (slash == std::string::npos) {
    // A bare name ("SETUP.EXE", "D:SETUP.EXE"): Windows found the program in the current
    // directory, which "." names.
    bool drive = folder.size() >= 2 && folder[1] == ':';
    folder = (drive ? folder.substr(0, 2) : std::string()) + ".";
  } else {
    folder.clear();  // "\SETUP.EXE": the root of the current drive
  }

  // A network path (\\server\share\...) names its folder whole.
  if (folder.rfind("\\\\", 0) == 0) {
    AppendBackslash(folder);
    return folder;
  }
  // Without a drive, take the one of the current directory. A folder from the root ("\Setup")
  // follows the drive; a relative one (".\sub", "sub") stays relative to the current directory
  // of that drive ("D:.\sub\").
  if (folder.size() < 2 || folder[1] != ':') {
    std::string current;
    std::uint32_t length = files.GetCurrentFolder(win::MAX_PATH, current);
    if (length == 0 || length >= win::MAX_PATH) {
      current.clear();  // unreadable: the folder stays relative to the current drive
    }
    std::size_t colon = current.find(':');
    std::string drive =
        (colon != std::string::npos && colon >= 1) ? current.substr(0, colon + 1) : current;
    folder = drive + folder;
  }
  AppendBackslash(folder);
  return folder;
}

}  // namespace app
