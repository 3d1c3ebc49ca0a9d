// The matrix as a table for people, and as JSON for other tools.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/setup-sim/Matrix.h"

namespace lab {

// One line a row; the command and variant columns only when they vary.
std::string MatrixText(const std::vector<MatrixRow>& rows);
nlohmann::ordered_json MatrixJson(const std::vector<MatrixRow>& rows);

}  // namespace lab
