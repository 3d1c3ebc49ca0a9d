// The application object and its start-up sequence: the whole life of the process around the
// main window.
#pragma once

#include <string>

#include "app/InstallContext.h"
#include "platform/Platform.h"

namespace app {

// What start-up calls that other parts of the launcher provide: chip detection and the two
// windows it may show.
class StartupServices {
 public:
  virtual ~StartupServices() = default;
  // The PCI bus scan of the Windows 9x family.
  virtual void ChipScan(const InstallContext& context, DetectionState& detection) = 0;
  // The detection driver of the NT family.
  virtual void RunDetectionDriver(const InstallContext& context, DetectionState& detection) = 0;
  // The notice that no supported chip was found, shown modally as the main window.
  virtual void ShowNoChipDialog() = 0;
  // The main dialog, run modally as the main window; it may end the process.
  virtual void RunMainDialog(InstallContext& context, DetectionState& detection) = 0;
};

class SetupApp {
 public:
  SetupApp(platform::Platform& platform, StartupServices& services);

  // The start-up sequence. Returns false in every case: the process ends when it returns.
  bool InitInstance();

  const InstallContext& Context() const { return context_; }
  const DetectionState& Detection() const { return detection_; }
  const std::string& OptionFile() const { return optionFile_; }

 private:
  void Detect();
  bool ChipPresent() const;

  platform::Platform& platform_;
  StartupServices& services_;
  InstallContext context_;
  DetectionState detection_;
  std::string optionFile_;
};

// Letters a to z become A to Z; every other byte stays.
void UpperCaseInPlace(std::string& text);

}  // namespace app
