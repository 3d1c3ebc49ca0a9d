// Checks a disc folder for what each route of the launcher on each Windows version needs, and
// says what is missing or wrong, with the routes that would fail.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace lab {

struct Finding {
  std::string check;  // a short stable name: "driver-setup-program", "jack-column"...
  std::string file;   // the disc path concerned, relative to the disc ("W95-98\drv\98\")
  std::string problem;
  std::vector<std::string> routes;  // "Windows 2000, XP: Install Device Driver (WDM)"...
};

// Nothing with a message when the folder cannot be read at all.
std::optional<std::vector<Finding>> LintDisc(const std::string& disc, std::string& error);

std::string LintText(const std::string& disc, const std::vector<Finding>& findings);
nlohmann::ordered_json LintJson(const std::string& disc, const std::vector<Finding>& findings);

}  // namespace lab
