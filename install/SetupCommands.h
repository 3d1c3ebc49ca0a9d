// The launcher's commands as the program runs them.
#pragma once

#include "install/Session.h"

namespace install {

class SetupCommands : public Commands {
 public:
  void OnInstallDriver(Session& session) override;
  void StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions) override;
  void StageVxdDriver(Session& session) override;
  // Still to come: until then they do nothing.
  void OnInstallApplications(Session&) override {}
  void OnCombinedInstall(Session&) override {}
  void InstallNt4Driver(Session&) override {}
};

}  // namespace install
