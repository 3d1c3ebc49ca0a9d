#include "install/StagingSteps.h"

#include "app/Paths.h"
#include "app/RegistryText.h"
#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

const char* const kPrecopySystemFiles[9] = {"ksclockf.ax",  "ksdata.ax",    "ksinterf.ax",
                                            "ksproxy.ax",   "ksvpintf.ax",  "ksuser.dll",
                                            "MSJSTICK.DRV", "msanalog.vxd", "vjoyd.vxd"};
const char* const kStagedSystemFiles[8] = {"ksclockf.ax",  "ksdata.ax",  "ksinterf.ax",
                                           "ksproxy.ax",   "ksuser.dll", "MSJSTICK.DRV",
                                           "msanalog.vxd", "vjoyd.vxd"};

void CreateMakerFolders(platform::Files& files) {
  for (const char* folder :
       {"C:\\Program Files\\", "C:\\Program Files\\Orvanta\\", "C:\\Program Files\\Orvanta\\DOS\\",
        "C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\"}) {
    files.CreateFolder(folder);
  }
}

void CopyDosDrivers(platform::Files& files, const std::string& sourceDir) {
  const std::pair<std::string, std::string> folders[] = {
      {sourceDir + "Dosdrv\\", "C:\\Program Files\\Orvanta\\DOS\\"},
      {sourceDir + "Dosdrv\\DOSAPP\\", "C:\\Program Files\\Orvanta\\DOS\\DOSAPP\\"}};
  for (const auto& folder : folders) {
    const std::string& from = folder.first;
    const std::string& to = folder.second;
    ForEachFile(files, from, [&](const std::string& name) {
      NormalisedReplaceCopy(files, from + name, to + name);
    });
  }
}

void StageLauncher(platform::Platform& platform, const std::string& sourceDir,
                   const std::string& stagingDir, int installWdmDriver) {
  for (const char* name : {"Setup.exe", "MESetup.dat", "W2KSetup.dat", "ORVAINFO.sys"}) {
    ReplaceCopy(platform.files, sourceDir + name, stagingDir + name);
  }
  // The option file comes from a disc, read-only: its copy must take the writes below.
  const std::string options = stagingDir + "Setup.ini";
  NormalisedReplaceCopy(platform.files, sourceDir + "Setup.ini", options);
  if (!FitsPath(options)) {
    return;
  }
  platform.profiles.WriteString("InstallOption", "WebSetup", "2", options);
  platform.profiles.WriteString("InstallOption", "FullPackage", "0", options);
  platform.profiles.WriteString("InstallOption", "DriverOnly", "1", options);
  platform.profiles.WriteString("InstallOption", "InstallWDMDriver", installWdmDriver ? "1" : "0",
                                options);
}

std::optional<std::string> FindSetupSource(
    platform::Platform& platform,
    const std::function<std::optional<std::string>(bool exists)>& replacement) {
  app::ScopedKey key(platform.registry, win::HKEY_LOCAL_MACHINE,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Setup", win::KEY_ALL_ACCESS);
  if (!key.IsOpen()) {
    return std::nullopt;
  }
  std::optional<std::string> path =
      app::ReadRegText(platform.registry, key.Get(), "SourcePath", win::MAX_PATH);
  if (!path) {
    return std::nullopt;
  }
  const bool exists = FolderExists(platform.files, *path);
  if (std::optional<std::string> written = replacement(exists)) {
    app::WriteRegText(platform.registry, key.Get(), "SourcePath", *written, win::REG_SZ);
  }
  if (!exists) {
    return std::nullopt;
  }
  app::AppendBackslash(*path);
  return path;
}

std::string ShortStagingPath(platform::Files& files, const std::string& stagingDir) {
  std::string folder = stagingDir;
  if (!folder.empty() && folder.back() == '\\') {
    folder.pop_back();
  }
  return app::ShortPathOf(files, folder);
}

}  // namespace install
