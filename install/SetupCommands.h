// The launcher's commands as the program runs them.
#pragma once

#include "install/Session.h"

namespace install {

class SetupCommands : public Commands {
 public:
  void OnInstallDriver(Session& session) override;
  void StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions) override;
  void StageVxdDriver(Session& session) override;
  void OnInstallApplications(Session& session) override;
  void OnCombinedInstall(Session& session) override;
  void InstallNt4Driver(Session& session) override;
};

}  // namespace install
