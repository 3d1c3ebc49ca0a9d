// A run's report as JSON, for other tools: the same groups as the text report.
#pragma once

#include <nlohmann/json.hpp>

#include "tools/setup-sim/RunReport.h"

namespace lab {

nlohmann::ordered_json ReportJson(const RunReport& report, bool withJournal);

}  // namespace lab
