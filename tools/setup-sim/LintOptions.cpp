// The option file: lines the profile functions pass over, keys the launcher does not read, and
// values outside their meaning.
#include <set>

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/LintChecks.h"
#include "tools/setup-sim/OptionFileText.h"

namespace lab {

namespace {

const char* kEveryVersion = "every Windows version: start-up";

// A plain decimal or "0x" number, as an assembler would write one.
bool IsNumber(std::string_view text) {
  text = sim::TrimBlanks(text);
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    text.remove_prefix(1);
  }
  if (text.size() > 2 && text[0] == '0' && text[1] == 'x') {
    return text.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string_view::npos;
  }
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsFlag(const std::string& key) {
  return key != "WebSetup";
}

}  // namespace

void CheckOptionFile(const DiscView& disc, Findings& findings) {
  if (!disc.optionText) {
    return;  // no option file: every value at its default
  }
  const std::string& file = disc.optionName;
  for (const OptionLineProblem& problem : MalformedOptionLines(*disc.optionText)) {
    findings.push_back(Finding{
        "option-syntax",
        file,
        (problem.line > 0 ? "line " + std::to_string(problem.line) + ": " : "") + problem.what,
        {std::string(kEveryVersion) + " passes over it"}});
  }
  sim::ProfileDocument document(*disc.optionText);
  std::set<std::string> seen;
  for (const auto& [key, value] : document.Entries("InstallOption")) {
    const std::string* known = nullptr;
    for (const std::string& name : InstallOptionKeys()) {
      if (sim::EqualsNoCase(name, key)) {
        known = &name;
      }
    }
    if (known == nullptr) {
      if (!sim::EqualsNoCase(key, "FullPackage")) {
        findings.push_back(
            Finding{"option-unknown-key",
                    file,
                    "[InstallOption] " + key +
                        ": the launcher reads no such key (a misspelt name keeps its "
                        "key at the default)",
                    {std::string(kEveryVersion) + " ignores it"}});
      }
      continue;
    }
    if (!seen.insert(sim::Upper(key)).second) {
      findings.push_back(
          Finding{"option-duplicate",
                  file,
                  "[InstallOption] " + key + " is given twice: only the first counts",
                  {std::string(kEveryVersion) + " reads the first"}});
      continue;
    }
    const int number = static_cast<int>(sim::ProfileTextToInt(value));
    if (!IsNumber(value)) {
      findings.push_back(
          Finding{"option-value",
                  file,
                  "[InstallOption] " + key + "=" + value + " is not a number: it reads as " +
                      std::to_string(number),
                  {std::string(kEveryVersion) + " reads " + std::to_string(number)}});
      continue;
    }
    if (IsFlag(*known) && number != 0 && number != 1) {
      findings.push_back(Finding{"option-value",
                                 file,
                                 "[InstallOption] " + key + "=" + value +
                                     " is a yes/no value: 0 or 1 (any other number means yes)",
                                 {std::string(kEveryVersion) + " reads it as yes"}});
    }
    if (*known == "WebSetup" && (number < 0 || number > 2)) {
      findings.push_back(Finding{
          "option-value",
          file,
          "[InstallOption] WebSetup=" + value + " is none of 0, 1, 2",
          {"every Windows version: neither the /AP and /DRIVER switches nor DriverOnly take "
           "effect, and no staged-setup route runs"}});
    }
    if (*known == "WebSetup" && number == 2) {
      findings.push_back(Finding{
          "option-value",
          file,
          "[InstallOption] WebSetup=2 is what staging writes into the staged copy; on the disc "
          "it runs the install-driver command at once, without the main window",
          {"every Windows version: the main window never shows"}});
    }
  }
  if (disc.options.WebSetup == 1 && disc.options.InstallWDMDriver == 0 &&
      !(disc.udaMode && disc.options.UDAWindows98Driver)) {
    findings.push_back(Finding{
        "option-value",
        file,
        "WebSetup=1 with InstallWDMDriver=0 chooses the VxD driver, and the first stage then ends "
        "after the jack options without staging anything",
        {"every Windows version: WebSetup first stage"}});
  }
  if (std::optional<std::string> cdda = document.Get("Default", "UsingCDDA");
      cdda && !IsNumber(*cdda)) {
    findings.push_back(
        Finding{"option-value",
                file,
                "[Default] UsingCDDA=" + *cdda + " is not a number",
                {std::string(kEveryVersion) + " writes the CD player's mode from it"}});
  }
}

}  // namespace lab
