// The steps the WDM and the VxD staging share: the maker's folders below Program Files, the DOS
// drivers, the launcher's own files with the staged option file, and the short form of a
// staging folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace install {

// "C:\Program Files\", "C:\Program Files\Orvanta\", its "DOS\" and "DOS\DOSAPP\", in this order.
void CreateMakerFolders(platform::Files& files);
// Every file of the disc's "Dosdrv\" and "Dosdrv\DOSAPP\" into the maker's "DOS\" folders.
void CopyDosDrivers(platform::Files& files, const std::string& sourceDir);
// The disc's "Setup.exe", "MESetup.dat", "W2KSetup.dat", "ORVAINFO.sys" and "Setup.ini" into the
// staging folder, then the staged option file set to go straight to the install-driver command
// with the given flavour when the staged copy is started.
void StageLauncher(platform::Platform& platform, const std::string& sourceDir,
                   const std::string& stagingDir, int installWdmDriver);
// The short form of a staging folder (ending in a backslash), without the trailing backslash;
// the long form when the short one cannot be had.
std::string ShortStagingPath(platform::Files& files, const std::string& stagingDir);

// Windows' setup source folder, the "SourcePath" of the Setup key: the folder with a backslash
// when its value reads and names a folder that exists, else nothing. `replacement` is told
// whether it exists and gives what to write into the value instead, if anything.
std::optional<std::string> FindSetupSource(
    platform::Platform& platform,
    const std::function<std::optional<std::string>(bool exists)>& replacement);

// Windows' own kernel-streaming and joystick files that a driver installation on Windows 98 SE
// needs from "System\": saved into "System\Precopy\", and copied beside the staged driver.
extern const char* const kPrecopySystemFiles[9];
extern const char* const kStagedSystemFiles[8];

}  // namespace install
