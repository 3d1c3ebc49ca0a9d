#include "install/StateFile.h"

#include <optional>

#include "app/Paths.h"
#include "install/FileSteps.h"

namespace install {

namespace {

constexpr const char* kReboot = "Need_To_Reboot";
constexpr const char* kDriver = "Need_To_InstallDriver";
constexpr const char* kSetup = "SETUP";

// Writes one key after the other, in the order given; an empty value is written as "key=".
class StateFile {
 public:
  explicit StateFile(platform::Platform& platform) : profiles_(platform.profiles) {
    std::optional<std::string> windows = app::WindowsFolderWithBackslash(platform.files);
    if (windows && FitsPath(*windows + "ORVSETUP.INI")) {
      path_ = *windows + "ORVSETUP.INI";
    }
  }
  StateFile& Write(const char* section, const char* key, const std::string& value) {
    if (!path_.empty()) {
      profiles_.WriteString(section, key, value, path_);
    }
    return *this;
  }

 private:
  platform::Profiles& profiles_;
  std::string path_;  // empty when the Windows folder cannot be had
};

}  // namespace

void ResetStateFile(platform::Platform& platform, int isNT4) {
  StateFile(platform)
      .Write(kReboot, "Install", isNT4 ? "NO" : "YES")
      .Write(kDriver, "Install", "NO")
      .Write(kDriver, "Command", "")
      .Write(kDriver, "InstallDX", "NO");
}

void NoteRestartPending(platform::Platform& platform) {
  StateFile(platform).Write(kReboot, "Install", "YES");
}

void NoteWdmStaged(platform::Platform& platform) {
  StateFile(platform)
      .Write(kReboot, "Install", "YES")
      .Write(kDriver, "Install", "NO")
      .Write(kDriver, "Command", "")
      .Write(kDriver, "InstallDX", "NO")
      .Write(kDriver, "InstallAtFirst", "NO")
      .Write(kSetup, "NeedInstallDriver", "0")
      .Write(kSetup, "DriverSetupFile", "")
      .Write(kSetup, "NeedInstallDirectX", "0")
      .Write(kSetup, "DirectXFilePath", "");
}

void NoteWdmSetupDeferred(platform::Platform& platform, const MainDialogState& state,
                          const std::string& command) {
  StateFile file(platform);
  file.Write(kReboot, "Install", "NO")
      .Write(kDriver, "Install", "YES")
      .Write(kDriver, "Command", command)
      .Write(kDriver, "InstallAtFirst", "NO");
  if (state.isWin98SE) {
    file.Write(kDriver, "InstallDX", "YES");
    if (state.precopyCabsPresent) {
      file.Write(kDriver, "InstallAtFirst", "YES");
    }
  } else {
    file.Write(kDriver, "InstallAtFirst", "YES");
  }
  file.Write(kSetup, "NeedInstallDriver", "1")
      .Write(kSetup, "DriverSetupFile", command)
      .Write(kSetup, "NeedInstallDirectX", "0")
      .Write(kSetup, "DirectXFilePath", "");
}

}  // namespace install
