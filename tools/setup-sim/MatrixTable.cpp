#include "tools/setup-sim/MatrixTable.h"

#include <algorithm>

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
    cells.push_back(row.restart ? "yes" : "no");
    cells.push_back(std::to_string(row.files));
    cells.push_back(std::to_string(row.registryKeys));
    cells.push_back(Joined(row.programs));
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

nlohmann::ordered_json MatrixJson(const std::vector<MatrixRow>& rows) {
  nlohmann::ordered_json json = nlohmann::ordered_json::array();
  for (const MatrixRow& row : rows) {
    json.push_back(nlohmann::ordered_json{
        {"windows", row.windows},
        {"command", row.command},
        {"options", row.variant},
        {"machine", row.machine.empty() ? nlohmann::ordered_json(nullptr)
                                        : nlohmann::ordered_json(row.machine)},
        {"route", row.route},
        {"driver", row.flavour.empty() ? nlohmann::ordered_json(nullptr)
                                       : nlohmann::ordered_json(row.flavour)},
        {"programs", row.programs},
        {"restart", row.restart},
        {"files", row.files},
        {"registryKeys", row.registryKeys},
        {"cannotFind", row.cannotFind},
        {"stopped", row.stopped.empty() ? nlohmann::ordered_json(nullptr)
                                        : nlohmann::ordered_json(row.stopped)},
    });
  }
  return json;
}

}  // namespace lab
