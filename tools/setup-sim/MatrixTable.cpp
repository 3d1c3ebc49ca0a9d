#include "tools/setup-sim/MatrixTable.h"

#include <algorithm>

#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/ReportJson.h"

namespace lab {

namespace {

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    text += (text.empty() ? "" : "; ") + item;
  }
  return text.empty() ? "-" : text;
}

template <typename Field>
bool Varies(const std::vector<MatrixRow>& rows, Field field) {
  return std::any_of(rows.begin(), rows.end(),
                     [&](const MatrixRow& row) { return row.*field != rows.front().*field; });
}

}  // namespace

std::string ProgramsCell(const std::vector<ProgramStarted>& programs) {
  std::vector<std::string> lines;
  for (const ProgramStarted& program : programs) {
    lines.push_back(program.commandLine + (program.failure.empty() ? "" : " (missing)"));
  }
  return Joined(lines);
}

std::string MatrixText(const std::vector<MatrixRow>& rows) {
  const bool commands = !rows.empty() && Varies(rows, &MatrixRow::command);
  const bool variants = !rows.empty() && Varies(rows, &MatrixRow::variant);
  std::vector<std::vector<std::string>> table;
  std::vector<std::string> heading{"Windows"};
  if (commands) {
    heading.push_back("command");
  }
  if (variants) {
    heading.push_back("options");
  }
  for (const char* title :
       {"route", "driver", "restart", "files", "keys", "programs started", "\"Can not find\""}) {
    heading.push_back(title);
  }
  table.push_back(heading);
  for (const MatrixRow& row : rows) {
    std::vector<std::string> cells{row.windows};
    if (commands) {
      cells.push_back(row.command);
    }
    if (variants) {
      cells.push_back(row.variant);
    }
    cells.push_back(row.stopped.empty() ? row.route
                                        : row.route + " (stopped: " + row.stopped + ")");
    cells.push_back(row.flavour.empty() ? "-" : row.flavour);
    cells.push_back(row.restartRequested ? "yes" : "no");
    cells.push_back(std::to_string(row.counts.files));
    cells.push_back(std::to_string(row.counts.registryKeys));
    cells.push_back(ProgramsCell(row.programs));
    cells.push_back(Joined(row.cannotFind));
    table.push_back(cells);
  }
  // Every column but the last two is padded to its widest cell.
  std::vector<std::size_t> widths(heading.size(), 0);
  for (const auto& cells : table) {
    for (std::size_t i = 0; i + 2 < cells.size(); ++i) {
      widths[i] = std::max(widths[i], cells[i].size());
    }
  }
  std::string text;
  for (const auto& cells : table) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
      line += cells[i];
      if (i + 1 < cells.size()) {
        line +=
            std::string(widths[i] > cells[i].size() ? widths[i] - cells[i].size() : 0, ' ') + "  ";
      }
    }
    while (!line.empty() && line.back() == ' ') {
      line.pop_back();
    }
    text += line + "\n";
  }
  return text;
}

nlohmann::ordered_json MatrixRowJson(const MatrixRow& row) {
  using Json = nlohmann::ordered_json;
  auto text = [](const std::string& value) { return value.empty() ? Json(nullptr) : Json(value); };
  const RunReport none;
  const RunReport& report = row.report ? *row.report : none;
  return Json{
      {"windows", row.windows},
      {"command", row.command},
      {"options", row.variant},
      {"machine", text(row.machine)},
      {"route", row.route},
      {"steps", report.route},
      {"driver", text(row.flavour)},
      {"programs", ProgramsJson(row.programs)},
      {"restart", RestartJson(report)},
      {"counts", CountsJson(row.counts)},
      {"cannotFind", row.cannotFind},
      {"missingPrograms", row.missingPrograms},
      {"stopped", text(row.stopped)},
  };
}

nlohmann::ordered_json MatrixJson(const std::string& disc, const std::vector<MatrixRow>& rows) {
  nlohmann::ordered_json json = JsonDocument("matrix");
  json["disc"] = disc;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const MatrixRow& row : rows) {
    list.push_back(MatrixRowJson(row));
  }
  json["rows"] = list;
  const MatrixProblems problems = CountProblems(rows);
  json["problems"] = {{"stopped", problems.stopped},
                      {"cannotFind", problems.cannotFind},
                      {"missingPrograms", problems.missingPrograms}};
  json["expected"] = nullptr;  // matrix --expect: how the rows compare with the file
  return json;
}

}  // namespace lab
