#include "tools/setup-sim/OptionFileText.h"

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace lab {

std::vector<OptionLineProblem> MalformedOptionLines(const std::string& text) {
  std::vector<OptionLineProblem> problems;
  if (text.find('\0') != std::string::npos) {
    problems.push_back(OptionLineProblem{0, "the file holds zero bytes: it is no text file"});
    return problems;
  }
  bool inSection = false;
  int number = 0;
  for (std::string line : sim::Split(text, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    std::string_view body = sim::TrimBlanks(line);
    if (body.empty() || body[0] == ';') {
      continue;
    }
    if (body[0] == '[') {
      if (body.back() != ']' || body.size() < 3) {
        problems.push_back(OptionLineProblem{number, "a section header without its closing ]"});
      } else {
        inSection = true;
      }
      continue;
    }
    if (body.find('=') == std::string_view::npos) {
      problems.push_back(OptionLineProblem{
          number, "\"" + std::string(body.substr(0, 40)) + "\" is no key=value entry"});
    } else if (!inSection) {
      problems.push_back(OptionLineProblem{number, "an entry before the first section"});
    }
  }
  return problems;
}

const std::vector<std::string>& InstallOptionKeys() {
  static const std::vector<std::string> keys{"DriverOnly",        "WindowsMEDriverAskUser",
                                             "WindowsMEDriver",   "Windows98SEDriverAskUser",
                                             "Windows98SEDriver", "WebSetup",
                                             "InstallWDMDriver",  "InstallWDMUDACodecDriver",
                                             "UDAWindows98Driver"};
  return keys;
}

bool ApplyOptionChange(std::string& text, const std::string& change, std::string& error) {
  std::size_t equals = change.find('=');
  std::string key(sim::TrimBlanks(change.substr(0, equals)));
  std::string value =
      equals == std::string::npos ? "" : std::string(sim::TrimBlanks(change.substr(equals + 1)));
  const std::string* known = nullptr;
  for (const std::string& name : InstallOptionKeys()) {
    if (sim::EqualsNoCase(name, key)) {
      known = &name;
    }
  }
  if (known == nullptr) {
    error = "\"" + change + "\": the launcher reads no key \"" + key + "\" in [InstallOption]";
    return false;
  }
  std::size_t first = !value.empty() && value[0] == '-' ? 1 : 0;
  bool number = value.size() > first && value.size() - first <= 9 &&
                value.find_first_not_of("0123456789", first) == std::string::npos;
  if (!number) {
    error = "\"" + change + "\": the value of " + *known + " must be a number";
    return false;
  }
  sim::ProfileDocument document(text);
  document.Set("InstallOption", *known, value);
  text = document.Text();
  return true;
}

}  // namespace lab
