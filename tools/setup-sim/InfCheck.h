// What lint reads in one driver INF file: the source-disk entry the staging rewrites, the files
// it names, its catalog, the jack-option lines the option patch writes into, and whether a later
// install's INF purge would know it as the maker's.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lab {

// The first "[CONFIG1.AddReg]" line of a key ("EnableLegacy", "JackConfig") as the option patch
// finds it: the header must be written in exactly that case, and the value's digit must be the
// line's 49th character, which the patch overwrites.
struct JackLine {
  bool sectionFound = false;
  bool sectionInOtherCase = false;  // "[Config1.AddReg]": the patch does not see it
  std::optional<int> line;          // 1-based line number of the key's line
  std::optional<int> digitColumn;   // 1-based column of the value's last digit
  bool writable = false;            // the 49th character is that digit
};
JackLine FindJackLine(const std::string& text, const std::string& key);

// The value of an INF entry as the profile functions read it; empty when absent.
std::string InfValue(const std::string& text, const std::string& section, const std::string& key);
// The file names of "[SourceDisksFiles]".
std::vector<std::string> InfSourceFiles(const std::string& text);
// The INF purge's test: "VSX-Legacy.DeviceDesc" or "WDM_OVPCI.Wave.szPname" in "[Strings]"
// begins with ORV6430, ORV6490, OVAUDIO or Orvanta.
bool RecognisedAsMakers(const std::string& text);
// The staging's test for an INF file: ".inf" or ".INF" in the name, in exactly that case.
bool StagedAsInf(const std::string& name);
bool LooksLikeInf(const std::string& name);  // ".inf" in any case

}  // namespace lab
