// The installers' commands as far as this build has them: they come with the installer work,
// and until then the buttons and routes that run them do nothing.
#pragma once

#include "ui/SetupMainDialog.h"

namespace ui {

class PendingInstallers : public Installers {
 public:
  void OnInstallDriver(SetupMainDialog&) override {}
  void OnInstallApplications(SetupMainDialog&) override {}
  void OnCombinedInstall(SetupMainDialog&) override {}
  void StageWdmDriver(SetupMainDialog&, int, int) override {}
};

}  // namespace ui
