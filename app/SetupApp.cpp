#include "app/SetupApp.h"

#include "app/AudioSettings.h"
#include "app/ChipIds.h"
#include "app/OptionFile.h"
#include "app/SourceDir.h"

namespace app {

void UpperCaseInPlace(std::string& text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
}

SetupApp::SetupApp(platform::Platform& platform, StartupServices& services)
    : platform_(platform), services_(services) {}

bool SetupApp::InitInstance() {
  std::string& arguments = platform_.system.CommandArguments();
  UpperCaseInPlace(arguments);
  context_.commandLine = arguments;

  static_cast<WindowsClass&>(context_) = ClassifyWindows(platform_.system);
  context_.sourceDir = DeriveSourceDir(platform_.system.ProgramPath(), platform_.files);
  optionFile_ = context_.sourceDir + "setup.ini";
  static_cast<InstallOptions&>(context_) = ReadInstallOptions(platform_.profiles, optionFile_);
  ApplyCodecOverrides(context_, detection_);

  Detect();
  if (!ChipPresent()) {
    if (context_.commandLine.find("NO_MSG") == std::string::npos) {
      services_.ShowNoChipDialog();
    }
    return false;
  }

  ApplyAudioSettings(platform_, optionFile_, context_);
  // The three-dimensional look of dialog controls is the system's own from Windows 95 and
  // NT 4.0 on; nothing needs turning on.
  services_.RunMainDialog(context_, detection_);
  return false;
}

void SetupApp::Detect() {
  if (context_.isWin95 || context_.isWin98 || context_.isWinME) {
    services_.ChipScan(context_, detection_);
  } else if (context_.isNT5 || context_.isNT4) {
    services_.RunDetectionDriver(context_, detection_);
  }
}

bool SetupApp::ChipPresent() const {
  const WindowsClass& windows = context_;
  bool detectionRan =
      windows.isWin95 || windows.isWin98 || windows.isWinME || windows.isNT5 || windows.isNT4;
  if (!detectionRan) {
    return true;  // an unknown Windows: nothing to detect with
  }
  if (detection_.udaMode == 0) {
    return detection_.chipVendorId == kMakerVendorId && detection_.chipDeviceId == kMakerChipId;
  }
  return detection_.chipVendorId != 0 && detection_.chipDeviceId != 0 &&
         detection_.chipSignature[0] == kCodecSignature[0] &&
         detection_.chipSignature[1] == kCodecSignature[1];
}

}  // namespace app
