#include "app/InstallContext.h"

#include "platform/WinConstants.h"

namespace app {

WindowsClass ClassifyWindows(const platform::OsVersion& version) {
  WindowsClass result;
  const std::uint32_t build = version.buildNumber;
  if (version.platformId == win::VER_PLATFORM_WIN32_WINDOWS) {
    // On the 9x family the high word of the build number repeats the version: 4.90 (ME) is the
    // first above 4.0Fh, and the second byte of the build number is 08h on 98 SE (build 2222).
    if (version.minorVersion == 0) {
      result.isWin95 = 1;
    } else if (((build >> 16) >> 4) > 0x40) {
      result.isWinME = 1;
    } else {
      result.isWin98 = 1;
      if (((build >> 8) & 0xFF) == 0x08) {
        result.isWin98SE = 1;
      }
    }
  } else if (version.platformId == win::VER_PLATFORM_WIN32_NT) {
    if (version.majorVersion < 5) {
      result.isNT4 = 1;
    } else {
      result.isNT5 = 1;
      if (build >= 2600) {
        result.isWinXP = 1;
      }
    }
  }
  return result;
}

std::string WindowsClassNames(const WindowsClass& w) {
  std::string names;
  for (auto [flag, name] : {std::pair{w.isWin95, "isWin95"}, std::pair{w.isWin98, "isWin98"},
                            std::pair{w.isWin98SE, "isWin98SE"}, std::pair{w.isWinME, "isWinME"},
                            std::pair{w.isNT4, "isNT4"}, std::pair{w.isNT5, "isNT5"},
                            std::pair{w.isWinXP, "isWinXP"}}) {
    if (flag) {
      names += names.empty() ? name : std::string(" ") + name;
    }
  }
  return names;
}

WindowsClass ClassifyWindows(platform::System& system) {
  platform::OsVersion version;
  if (!system.GetVersion(version)) {
    return WindowsClass{};
  }
  return ClassifyWindows(version);
}

}  // namespace app
