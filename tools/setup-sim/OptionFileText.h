// The disc's option file "setup.ini" as text: the lines Windows' profile functions would pass
// over without a word (a malformed file), the nine keys the launcher reads, and changes to them.
#pragma once

#include <string>
#include <vector>

namespace lab {

struct OptionLineProblem {
  int line = 0;  // 1 for the first line
  std::string what;
};

// Lines that are no section header, no "key=value" entry, no comment and not blank; entries
// before the first section; zero bytes.
std::vector<OptionLineProblem> MalformedOptionLines(const std::string& text);

// The keys of section "InstallOption" that the launcher reads, in the order it reads them.
const std::vector<std::string>& InstallOptionKeys();

// "KEY=VALUE" for one of those keys with a number as value, written into [InstallOption];
// false with a message otherwise.
bool ApplyOptionChange(std::string& text, const std::string& change, std::string& error);

}  // namespace lab
