// Commands that do nothing, for programs that show the launcher's windows without installing
// anything (the dialog viewer).
#pragma once

#include "install/Session.h"

namespace install {

class PendingCommands : public Commands {
 public:
  void OnInstallDriver(Session&) override {}
  void OnInstallApplications(Session&) override {}
  void OnCombinedInstall(Session&) override {}
  void StageWdmDriver(Session&, int, int) override {}
  void StageVxdDriver(Session&) override {}
  void InstallNt4Driver(Session&) override {}
};

}  // namespace install
