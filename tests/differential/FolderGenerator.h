// Generated folders of files and the wildcard searches to run in them: short and long names,
// names with several dots or blanks, extensions longer than three characters (whose 8.3 name
// ends in the first three), sub-folders, and the patterns installers use ("*.INF", "OEM*.INF",
// "*.*", "?" patterns, exact names).
#pragma once

#include <string>
#include <vector>

#include "tests/differential/Random.h"

namespace differential {

struct FolderEntry {
  std::string name;
  bool folder = false;
};

struct FolderCase {
  std::vector<FolderEntry> entries;  // names differ also ignoring case
  std::vector<std::string> patterns;
};

FolderCase GenerateFolder(Random& random);

}  // namespace differential
