#include "install/SetupCommands.h"

#include "install/InstallDriverCommand.h"
#include "install/VxdStaging.h"
#include "install/WdmStaging.h"

namespace install {

void SetupCommands::OnInstallDriver(Session& session) {
  install::OnInstallDriver(session);
}

void SetupCommands::StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions) {
  install::StageWdmDriver(session, deferDriverSetup, patchInfOptions);
}

void SetupCommands::StageVxdDriver(Session& session) {
  install::StageVxdDriver(session);
}

}  // namespace install
