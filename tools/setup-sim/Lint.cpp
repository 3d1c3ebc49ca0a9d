#include "tools/setup-sim/Lint.h"

#include "platform/sim/MachineFolder.h"
#include "tools/setup-sim/InputFile.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/LintChecks.h"

namespace lab {

std::optional<std::vector<Finding>> LintDisc(const std::string& disc, std::string& error) {
  bool empty = false;
  if (!CheckDiscFolder(disc, empty, error)) {
    return std::nullopt;
  }
  std::vector<Finding> findings;
  if (empty) {
    findings.push_back(Finding{"empty-disc",
                               "",
                               "the disc folder is empty",
                               {"every Windows version: there is nothing to start"}});
    return findings;
  }
  auto machine = std::make_unique<sim::SimMachine>();
  std::shared_ptr<const sim::HostFolder> read = sim::HostFolder::Read(disc, error);
  if (!read || !sim::MapHostFolder(*machine, "D:", *read, true, error)) {
    return std::nullopt;
  }
  for (const std::string& link : read->Links()) {
    findings.push_back(Finding{"symbolic-link",
                               link,
                               "a symbolic link: the simulated disc leaves it out, and a disc "
                               "image holds no links; put a copy of what it points at there",
                               {"every Windows version: whatever a route needs there is missing"}});
  }
  const DiscView view(std::move(machine));
  CheckOptionFile(view, findings);
  CheckPrograms(view, findings);
  CheckVxdDrivers(view, findings);
  CheckWdmDrivers(view, findings);
  CheckNt4Drivers(view, findings);
  return findings;
}

std::string LintText(const std::string& disc, const std::vector<Finding>& findings) {
  if (findings.empty()) {
    return disc + ": no findings: every route on every Windows version finds what it needs\n";
  }
  std::string text = disc + ": " + std::to_string(findings.size()) +
                     (findings.size() == 1 ? " finding\n" : " findings\n");
  for (const Finding& finding : findings) {
    text += "\n" + (finding.file.empty() ? std::string("(disc)") : finding.file) + ": " +
            finding.problem + " [" + finding.check + "]\n";
    for (const std::string& route : finding.routes) {
      text += "    fails: " + route + "\n";
    }
  }
  return text;
}

nlohmann::ordered_json LintJson(const std::string& disc, const std::vector<Finding>& findings) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Finding& finding : findings) {
    list.push_back(nlohmann::ordered_json{{"check", finding.check},
                                          {"file", finding.file},
                                          {"problem", finding.problem},
                                          {"routes", finding.routes}});
  }
  nlohmann::ordered_json json = JsonDocument("lint");
  json["disc"] = disc;
  json["clean"] = findings.empty();
  json["findings"] = list;
  return json;
}

}  // namespace lab
