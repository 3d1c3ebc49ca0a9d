// The installation context: where the launcher runs (the Windows class), where it was started
// from, what the disc's option file and the command line ask for, and what detection found.
#pragma once

#include <cstdint>
#include <string>

#include "platform/System.h"

namespace app {

// The Windows class flags. Exactly one of isWin95, isWin98, isWinME, isNT4, isNT5 is set on a
// supported system; isWin98SE comes only with isWin98 and isWinXP only with isNT5.
struct WindowsClass {
  int isWin95 = 0;
  int isWin98 = 0;  // also set on Windows 98 SE
  int isWin98SE = 0;
  int isWinME = 0;
  int isNT4 = 0;
  int isNT5 = 0;  // Windows 2000 and later
  int isWinXP = 0;
};

// The values of the option file "setup.ini", section "InstallOption", with their defaults.
struct InstallOptions {
  int DriverOnly = 0;
  int WindowsMEDriverAskUser = 0;
  int WindowsMEDriver = 1;
  int Windows98SEDriverAskUser = 0;
  int Windows98SEDriver = 0;
  int WebSetup = 0;
  int InstallWDMDriver = 0;
  int InstallWDMUDACodecDriver = 0;
  int UDAWindows98Driver = 0;
};

struct InstallContext : WindowsClass, InstallOptions {
  std::string sourceDir;    // the folder the program was started from, ending in a backslash
  std::string commandLine;  // the arguments after the program name, upper-cased by start-up
};

// What detection found; process-wide, zero until detection writes it.
struct DetectionState {
  int udaMode = 0;  // 1: the ORV5970 codec behind another vendor's AC'97 controller is the target
  std::uint16_t chipVendorId = 0;
  std::uint16_t chipDeviceId = 0;
  std::uint16_t chipSignature[2] = {0, 0};  // the codec's vendor-ID registers 7Ch and 7Eh
};

// The names of the flags that are set, blank-separated ("isWin98 isWin98SE"), for reports.
std::string WindowsClassNames(const WindowsClass& windows);

// The Windows class of a version as GetVersionExA reports it.
WindowsClass ClassifyWindows(const platform::OsVersion& version);
// GetVersionExA, then the classification; no flag at all when the call fails.
WindowsClass ClassifyWindows(platform::System& system);

}  // namespace app
