#include "tools/setup-sim/InfCheck.h"

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace lab {

namespace {

constexpr const char* kSection = "[CONFIG1.AddReg]";
constexpr std::size_t kValueColumn = 48;  // the 49th character

}  // namespace

JackLine FindJackLine(const std::string& text, const std::string& key) {
  JackLine found;
  const std::string keyLine = "HKR,\"Settings\",\"" + key + "\",";
  int number = 0;
  for (std::string line : sim::Split(text, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.find(kSection) != std::string::npos) {
      found.sectionFound = true;
    } else if (sim::Upper(line).find(sim::Upper(kSection)) != std::string::npos) {
      found.sectionInOtherCase = true;
    }
    if (!found.sectionFound || line.find(keyLine) == std::string::npos) {
      continue;
    }
    found.line = number;
    // The value is the last field; its last digit is what the options set.
    std::size_t end = line.find(';');
    std::string_view value = sim::TrimBlanks(std::string_view(line).substr(0, end));
    std::size_t last = value.size();
    if (last > 0 && value[last - 1] >= '0' && value[last - 1] <= '9') {
      found.digitColumn = static_cast<int>(value.data() - line.data() + last);
    }
    found.writable = found.digitColumn && *found.digitColumn == static_cast<int>(kValueColumn) + 1;
    return found;
  }
  return found;
}

std::string InfValue(const std::string& text, const std::string& section, const std::string& key) {
  return sim::ProfileDocument(text).Get(section, key).value_or("");
}

std::vector<std::string> InfSourceFiles(const std::string& text) {
  std::vector<std::string> names;
  for (const auto& [name, disk] : sim::ProfileDocument(text).Entries("SourceDisksFiles")) {
    names.push_back(name);
  }
  return names;
}

bool RecognisedAsMakers(const std::string& text) {
  sim::ProfileDocument document(text);
  for (const char* key : {"VSX-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname"}) {
    std::string value = document.Get("Strings", key).value_or("").substr(0, 64);
    for (const char* maker : {"ORV6430", "ORV6490", "OVAUDIO", "Orvanta"}) {
      if (value.compare(0, 7, maker) == 0) {
        return true;
      }
    }
  }
  return false;
}

bool StagedAsInf(const std::string& name) {
  return name.find(".inf") != std::string::npos || name.find(".INF") != std::string::npos;
}

bool LooksLikeInf(const std::string& name) {
  return sim::Upper(name).find(".INF") != std::string::npos;
}

}  // namespace lab
