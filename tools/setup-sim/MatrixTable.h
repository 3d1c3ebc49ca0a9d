// The matrix as a table for people, and as JSON for other tools.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/setup-sim/Matrix.h"

namespace lab {

// The programs a row started, "; " between them, each that was not there marked "(missing)".
std::string ProgramsCell(const std::vector<ProgramStarted>& programs);
// One line a row; the command and variant columns only when they vary.
std::string MatrixText(const std::vector<MatrixRow>& rows);
nlohmann::ordered_json MatrixJson(const std::string& disc, const std::vector<MatrixRow>& rows);
// One row: the keys a run's report has for the same things, with the same meaning.
nlohmann::ordered_json MatrixRowJson(const MatrixRow& row);

}  // namespace lab
