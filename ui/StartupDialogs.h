// Start-up's steps as the program runs them: real detection, the no-chip notice and the main
// dialog, with the installers the main dialog's commands run.
#pragma once

#include "detect/DetectingServices.h"
#include "ui/SecondaryDialogs.h"
#include "ui/SetupMainDialog.h"

namespace ui {

class DialogStartupServices : public detect::DetectingServices {
 public:
  DialogStartupServices(platform::Platform& platform, Installers& installers)
      : DetectingServices(platform), installers_(installers) {}

  void ShowNoChipDialog() override {
    NoChipDialog notice(platform_);
    notice.DoModal();
  }
  void RunMainDialog(app::InstallContext& context, app::DetectionState& detection) override {
    SetupMainDialog dialog(platform_, context, detection, installers_);
    dialog.DoModal();
  }

 private:
  Installers& installers_;
};

}  // namespace ui
