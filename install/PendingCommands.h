// The commands as far as this build has them: they come with the installer work, and until then
// the buttons and routes that run them do nothing.
#pragma once

#include "install/Session.h"

namespace install {

class PendingCommands : public Commands {
 public:
  void OnInstallDriver(Session&) override {}
  void OnInstallApplications(Session&) override {}
  void OnCombinedInstall(Session&) override {}
  void StageWdmDriver(Session&, int, int) override {}
};

}  // namespace install
