// What two sets of runs do differently, run by run: two discs, or one disc with two option files,
// on the same Windows versions with the same commands. A difference names what differs (the
// route, a file, a registry value...), and how each side has it.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/setup-sim/Matrix.h"

namespace lab {

struct RunDifference {
  std::string what;     // "route", "driver", "dialog", "message box", "program", "file",
                        // "registry", "profile entry", "restart", "end"
  std::string subject;  // the program, file, value or entry; empty for the run as a whole
  std::string first;    // how the first side has it; "-" where it has none
  std::string second;
};

struct RowDifferences {
  std::string windows;
  std::string command;
  std::vector<RunDifference> differences;
};

std::vector<RunDifference> CompareRuns(const RunReport& first, const RunReport& second);

// The rows paired by Windows version and command; only rows that differ are given.
std::vector<RowDifferences> CompareMatrices(const std::vector<MatrixRow>& first,
                                            const std::vector<MatrixRow>& second);

// Nothing when the two sides do the same.
std::string DiffText(const std::string& firstName, const std::string& secondName,
                     const std::vector<RowDifferences>& rows);
nlohmann::ordered_json DiffJson(const std::string& firstName, const std::string& secondName,
                                const std::vector<RowDifferences>& rows);

}  // namespace lab
