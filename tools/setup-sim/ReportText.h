// A run's report as text for people: one block per kind of change, the registry changes as a
// REGEDIT4 file; and the raw journal, entry by entry, in virtual time.
#pragma once

#include <string>

#include "tools/setup-sim/RunReport.h"

namespace lab {

std::string ReportText(const RunReport& report);
std::string JournalText(const RunReport& report);
// Parts of the report, for its other forms: where it ran and what start-up settled, the restart,
// and how the process ended.
std::string WhereText(const RunReport& report);
std::string RestartText(const RunReport& report);
std::string EndText(const RunReport& report);

// The kind of profile file an entry went to: "state file", "WININIT.INI", "WIN.INI",
// "INF copy" or "other".
std::string ProfileFileKind(const std::string& path);

}  // namespace lab
