// What a machine may show after a power loss, the start and a second run of the launcher, beside
// one uninterrupted run and the same start: the differences allowed, each with its reason, and
// the cases where the launcher cannot come back to the same end, each with its consequence.
#pragma once

#include <string>
#include <vector>

#include "tests/hardening/Scenario.h"

namespace hardening {

// One uninterrupted run and the start after it.
struct ReferenceEnd {
  MachineDump before;
  MachineDump end;
  std::string launcherEnd;            // "exit 0", "returned"
  std::vector<std::string> programs;  // command lines, as started
};

// The same after the power loss (or losses), the start and the runs after them.
struct CaseEnd {
  MachineDump end;
  std::string launcherEnd;
  std::vector<std::string> programs;  // of the last run
};

struct Verdict {
  std::vector<std::string> allowed;   // the names of the allowed differences met
  std::vector<std::string> listed;    // the names of the listed cases met
  std::vector<std::string> findings;  // what nothing explains: a fault
};

// A file the run installs must be there whole; a file it removes must be gone; every other
// difference must be allowed or listed.
Verdict Judge(const ReferenceEnd& reference, const CaseEnd& got);

struct Explained {
  const char* name;
  const char* why;  // the reason (allowed), or the consequence and what a second run does (listed)
};
const std::vector<Explained>& AllowedDifferences();
const std::vector<Explained>& ListedCases();

}  // namespace hardening
