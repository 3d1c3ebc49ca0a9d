// The checks of lint, each over one part of the disc, on a read-only view of the disc as the
// launcher sees it: names compare ignoring case, and the option file is read as the launcher
// reads it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/InstallContext.h"
#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/Lint.h"

namespace lab {

class DiscView {
 public:
  // The disc mapped as D: of a simulated machine.
  explicit DiscView(std::unique_ptr<sim::SimMachine> machine);

  bool IsFile(const std::string& path) const;    // relative to the disc's root: "W95-98\drv"
  bool IsFolder(const std::string& path) const;  // "" is the root
  std::optional<std::string> Read(const std::string& path) const;
  // The names of the files (not folders) of a folder, in the order a search returns them.
  std::vector<std::string> FilesIn(const std::string& folder) const;
  // The path as the disc spells it, for messages ("w95-98\DRV" -> "W95-98\drv").
  std::string Spelt(const std::string& path) const;

  // The option file's values as the launcher reads them (defaults where absent), after the
  // codec variant's overrides.
  app::InstallOptions options;
  int udaMode = 0;
  std::optional<std::string> optionText;
  std::string optionName = "setup.ini";

 private:
  const sim::FileNode* Node(const std::string& path) const;
  std::unique_ptr<sim::SimMachine> machine_;
};

using Findings = std::vector<Finding>;

void CheckOptionFile(const DiscView& disc, Findings& findings);
void CheckPrograms(const DiscView& disc, Findings& findings);
void CheckVxdDrivers(const DiscView& disc, Findings& findings);
void CheckWdmDrivers(const DiscView& disc, Findings& findings);
void CheckNt4Drivers(const DiscView& disc, Findings& findings);

// Which Windows versions reach a route with the disc's options.
struct Reach {
  bool vxd95 = true, vxd98 = true, vxd98SE = false, vxdME = false;
  bool wdm98 = false, wdm98SE = false, wdmME = false;
};
Reach RoutesReached(const DiscView& disc);

}  // namespace lab
