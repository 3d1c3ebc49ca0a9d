// What each row of a matrix should do, kept in a file (matrix --write-expect) and held against a
// later matrix of the disc (matrix --expect): its route and driver, the programs it starts, the
// restart, how much it changes, the "Can not find" messages and where it stops. A row of the
// file is found by its Windows version, command and options; it holds the keys of a matrix
// row, and only the keys it holds are compared (a file may leave out what it does not care for).
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "tools/setup-sim/Matrix.h"

namespace lab {

struct ExpectDifference {
  std::string row;   // "98SE driver disc"
  std::string what;  // "route", "counts.files", "row" (a row only one side has)...
  std::string expected;
  std::string actual;
};

nlohmann::ordered_json ExpectJson(const std::string& disc, const std::vector<MatrixRow>& rows);

// Null with a message when the file cannot be read or is no expect file of this schema.
std::optional<nlohmann::ordered_json> ReadExpectFile(const std::string& path, std::string& error);

std::vector<ExpectDifference> CompareWithExpected(const nlohmann::ordered_json& expected,
                                                  const std::vector<MatrixRow>& rows);

// The differences for people: "none" or a line each; `disc` is the disc this matrix ran.
std::string ExpectText(const std::string& file, const nlohmann::ordered_json& expected,
                       const std::string& disc, const std::vector<ExpectDifference>& differences);
// For the matrix's JSON document.
nlohmann::ordered_json ExpectResultJson(const std::string& file,
                                        const nlohmann::ordered_json& expected,
                                        const std::vector<ExpectDifference>& differences);

}  // namespace lab
