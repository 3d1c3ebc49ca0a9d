#include "tests/differential/FolderGenerator.h"

#include <cctype>

namespace differential {

namespace {

const std::vector<std::string> kBases = {"a",
                                         "B",
                                         "b",
                                         "c",
                                         "d",
                                         "oem1",
                                         "OEM12",
                                         "oemsetup",
                                         "setup",
                                         "readme",
                                         "longname",
                                         "LongFileName",
                                         "Driver Setup",
                                         "x y",
                                         "a.b",
                                         "setup.old",
                                         "my.driver.v2",
                                         "OEMDRIVER",
                                         "oem"};
const std::vector<std::string> kExtensions = {"inf",  "INF", "infold", "inf_", "INFX", "info",
                                              "inf2", "txt", "in",     "i",    "cab",  ""};

// Patterns whose answer does not hang on how the 8.3 names are numbered or hashed: Wine makes
// them "LONG~XYZ.INF" where Windows makes them "LONGNA~1.INF", so a "?" pattern that could
// match the first four to eight characters of a short name stays out.
const std::vector<std::string> kPatterns = {
    "*.INF", "*.inf",    "*.*",    "*",      "OEM*.INF",      "oem*.inf", "OEM*",
    "*.IN?", "*.?NF",    "?.inf",  "??.INF", "a?.inf",        "OEM?.INF", "b.inf???",
    "*NF",   "*.infold", "*.INF_", "*.txt",  "?????????*.inf"};

std::string Lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

std::string VaryCase(Random& random, std::string text) {
  for (char& c : text) {
    if (random.Percent(50)) {
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return text;
}

}  // namespace

FolderCase GenerateFolder(Random& random) {
  FolderCase result;
  std::vector<std::string> lowerNames;
  for (std::size_t count = random.Between(0, 10); count > 0; --count) {
    std::string extension = random.Pick(kExtensions);
    FolderEntry entry;
    entry.name = random.Pick(kBases) + (extension.empty() ? "" : "." + extension);
    entry.folder = random.Percent(15);
    std::string lower = Lower(entry.name);
    bool taken = false;
    for (const std::string& other : lowerNames) {
      taken = taken || other == lower;
    }
    if (!taken) {
      lowerNames.push_back(lower);
      result.entries.push_back(entry);
    }
  }
  for (std::size_t count = random.Between(4, 8); count > 0; --count) {
    if (random.Percent(15) && !result.entries.empty()) {
      // An exact name, in any letter case.
      result.patterns.push_back(VaryCase(random, random.Pick(result.entries).name));
    } else if (random.Percent(5)) {
      result.patterns.push_back("absent.inf");
    } else {
      result.patterns.push_back(random.Pick(kPatterns));
    }
  }
  return result;
}

}  // namespace differential
