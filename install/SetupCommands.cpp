#include "install/SetupCommands.h"

#include "apps/ApplicationSuite.h"
#include "install/CombinedInstall.h"
#include "install/InstallDriverCommand.h"
#include "install/Nt4Registration.h"
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

void SetupCommands::OnInstallApplications(Session& session) {
  apps::OnInstallApplications(session.platform, session.state, session.state,
                              session.state.sourceDir, session.user.MainWindow());
}

void SetupCommands::OnCombinedInstall(Session& session) {
  install::OnCombinedInstall(session);
}

void SetupCommands::InstallNt4Driver(Session& session) {
  install::InstallNt4Driver(session);
}

}  // namespace install
