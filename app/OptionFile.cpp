#include "app/OptionFile.h"

namespace app {

namespace {
constexpr const char* kSection = "InstallOption";

int ReadInt(platform::Profiles& profiles, const char* key, int defaultValue,
            const std::string& file) {
  // GetPrivateProfileIntA returns the value as a UINT; the launcher keeps it as an int.
  return static_cast<int>(profiles.GetInt(kSection, key, defaultValue, file));
}
}  // namespace

InstallOptions ReadInstallOptions(platform::Profiles& profiles, const std::string& optionFile) {
  InstallOptions options;
  options.DriverOnly = ReadInt(profiles, "DriverOnly", 0, optionFile);
  options.WindowsMEDriverAskUser = ReadInt(profiles, "WindowsMEDriverAskUser", 0, optionFile);
  options.WindowsMEDriver = ReadInt(profiles, "WindowsMEDriver", 1, optionFile);
  options.Windows98SEDriverAskUser = ReadInt(profiles, "Windows98SEDriverAskUser", 0, optionFile);
  options.Windows98SEDriver = ReadInt(profiles, "Windows98SEDriver", 0, optionFile);
  options.WebSetup = ReadInt(profiles, "WebSetup", 0, optionFile);
  options.InstallWDMDriver = ReadInt(profiles, "InstallWDMDriver", 0, optionFile);
  options.InstallWDMUDACodecDriver = ReadInt(profiles, "InstallWDMUDACodecDriver", 0, optionFile);
  options.UDAWindows98Driver = ReadInt(profiles, "UDAWindows98Driver", 0, optionFile);
  return options;
}

void ApplyCodecOverrides(InstallOptions& options, DetectionState& detection) {
  if (options.InstallWDMUDACodecDriver == 0) {
    detection.udaMode = 0;
    return;
  }
  detection.udaMode = 1;
  options.Windows98SEDriver = 1;
  options.WindowsMEDriver = 1;
  options.InstallWDMDriver = 1;
  options.Windows98SEDriverAskUser = 0;
  options.WindowsMEDriverAskUser = 0;
}

}  // namespace app
