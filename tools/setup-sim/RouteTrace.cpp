#include "tools/setup-sim/RouteTrace.h"

#include "platform/sim/SimMachine.h"

namespace lab {

void RouteTrace::OnInstallDriver(install::Session& session) {
  steps_.push_back("InstallDriver");
  try {
    commands_.OnInstallDriver(session);
  } catch (const sim::ProcessExit&) {
    // The WDM branch of the command ends the program once it has started (or looked for) the
    // driver setup program; it stages nothing itself on Windows ME, 2000 and XP.
    if (flavour_.empty() && !session.state.isNT4 && session.state.useVxdDriver == 0) {
      flavour_ = "WDM";
    }
    throw;
  }
}

void RouteTrace::OnInstallApplications(install::Session& session) {
  steps_.push_back("InstallApplications");
  commands_.OnInstallApplications(session);
}

void RouteTrace::OnCombinedInstall(install::Session& session) {
  steps_.push_back("CombinedInstall");
  commands_.OnCombinedInstall(session);
}

void RouteTrace::StageWdmDriver(install::Session& session, int deferDriverSetup,
                                int patchInfOptions) {
  std::string step = "StageWdmDriver";
  if (deferDriverSetup) {
    step += " (setup at next start)";
  }
  if (patchInfOptions) {
    step += " (jack options)";
  }
  steps_.push_back(step);
  flavour_ = "WDM";
  commands_.StageWdmDriver(session, deferDriverSetup, patchInfOptions);
}

void RouteTrace::StageVxdDriver(install::Session& session) {
  steps_.push_back("StageVxdDriver");
  flavour_ = "VxD";
  commands_.StageVxdDriver(session);
}

void RouteTrace::InstallNt4Driver(install::Session& session) {
  steps_.push_back("InstallNt4Driver");
  flavour_ = "NT 4.0";
  commands_.InstallNt4Driver(session);
}

}  // namespace lab
