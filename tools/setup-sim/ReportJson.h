// A run's report as JSON, for other tools: the same groups as the text report, each key with one
// meaning wherever it appears (a matrix row shares the pieces below with a run's report).
#pragma once

#include <nlohmann/json.hpp>

#include "tools/setup-sim/RunReport.h"

namespace lab {

nlohmann::ordered_json ReportJson(const RunReport& report, bool withJournal);

nlohmann::ordered_json ProgramsJson(const std::vector<ProgramStarted>& programs);
nlohmann::ordered_json RestartJson(const RunReport& report);
nlohmann::ordered_json CountsJson(const ChangeCounts& counts);
// A registry value's data with its type: {"type": "REG_DWORD", "data": 3, "hex": "03000000"}.
nlohmann::ordered_json RegDataJson(const std::string& written);

}  // namespace lab
