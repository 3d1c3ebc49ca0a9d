// The launcher's commands with a trace of the route a run takes through them: which commands
// and installers ran, in order, and which driver flavour they installed.
#pragma once

#include <string>
#include <vector>

#include "install/Session.h"

namespace lab {

class RouteTrace : public install::Commands {
 public:
  explicit RouteTrace(install::Commands& commands) : commands_(commands) {}

  // "InstallDriver", "StageVxdDriver", "StageWdmDriver", "InstallNt4Driver"... in order.
  const std::vector<std::string>& Steps() const { return steps_; }
  // "VxD", "WDM", "NT 4.0", or empty when no driver was installed.
  const std::string& Flavour() const { return flavour_; }

  void OnInstallDriver(install::Session& session) override;
  void OnInstallApplications(install::Session& session) override;
  void OnCombinedInstall(install::Session& session) override;
  void StageWdmDriver(install::Session& session, int deferDriverSetup,
                      int patchInfOptions) override;
  void StageVxdDriver(install::Session& session) override;
  void InstallNt4Driver(install::Session& session) override;

 private:
  install::Commands& commands_;
  std::vector<std::string> steps_;
  std::string flavour_;
};

}  // namespace lab
