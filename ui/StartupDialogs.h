// Start-up's steps as the program runs them: real detection, the no-chip notice and the main
// dialog, with the commands the main dialog runs.
#pragma once

#include "detect/DetectingServices.h"
#include "ui/SecondaryDialogs.h"
#include "ui/SetupMainDialog.h"

namespace ui {

class DialogStartupServices : public detect::DetectingServices {
 public:
  DialogStartupServices(platform::Platform& platform, install::Commands& commands)
      : DetectingServices(platform), commands_(commands) {}

  void ShowNoChipDialog() override {
    NoChipDialog notice(platform_);
    notice.DoModal();
  }
  void RunMainDialog(app::InstallContext& context, app::DetectionState& detection) override {
    SetupMainDialog dialog(platform_, context, detection, commands_);
    dialog.DoModal();
  }

 private:
  install::Commands& commands_;
};

}  // namespace ui
