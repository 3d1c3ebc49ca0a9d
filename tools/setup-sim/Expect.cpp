#include "tools/setup-sim/Expect.h"

#include "tools/setup-sim/InputFile.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/MatrixTable.h"

namespace lab {

namespace {

using Json = nlohmann::ordered_json;

// The keys that name a row rather than say what it does, and one that depends on where the
// matrix found its machines.
bool NamesTheRow(const std::string& key) {
  return key == "windows" || key == "command" || key == "options";
}

std::string RowName(const Json& row) {
  auto text = [&](const char* key) {
    return row.contains(key) && row[key].is_string() ? row[key].get<std::string>() : "?";
  };
  return text("windows") + " " + text("command") + " " + text("options");
}

// A value as one line: a program by its command line, a rename as "source -> target", a list
// with "; " between its items.
std::string Brief(const Json& value) {
  if (value.is_null()) {
    return "none";
  }
  if (value.is_string()) {
    return value.get<std::string>();
  }
  if (value.is_array()) {
    std::string text;
    for (const Json& item : value) {
      text += (text.empty() ? "" : "; ") + Brief(item);
    }
    return "[" + text + "]";
  }
  if (value.is_object() && value.contains("commandLine")) {
    return Brief(value["commandLine"]) +
           (value.value("failure", Json()).is_null() ? "" : " (missing)");
  }
  if (value.is_object() && value.contains("source") && value.contains("target")) {
    return Brief(value["source"]) + " -> " + Brief(value["target"]);
  }
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void CompareRows(const std::string& name, const Json& expected, const Json& actual,
                 const std::string& prefix, std::vector<ExpectDifference>& differences) {
  for (const auto& [key, wanted] : expected.items()) {
    if (prefix.empty() && NamesTheRow(key)) {
      continue;
    }
    const Json got = actual.contains(key) ? actual[key] : Json();
    if (wanted.is_object() && got.is_object()) {
      CompareRows(name, wanted, got, prefix + key + ".", differences);
    } else if (wanted != got) {
      differences.push_back(ExpectDifference{name, prefix + key, Brief(wanted), Brief(got)});
    }
  }
}

}  // namespace

Json ExpectJson(const std::string& disc, const std::vector<MatrixRow>& rows) {
  Json json = JsonDocument("expect");
  json["disc"] = disc;
  Json list = Json::array();
  for (const MatrixRow& row : rows) {
    Json each = MatrixRowJson(row);
    each.erase("machine");  // where the machines lie is no part of what the disc does
    list.push_back(each);
  }
  json["rows"] = list;
  return json;
}

std::optional<Json> ReadExpectFile(const std::string& path, std::string& error) {
  std::string text;
  if (!ReadInputFile(path, "the expect file", text, error)) {
    return std::nullopt;
  }
  const Json json = Json::parse(text, nullptr, false);
  const std::string hint = " (matrix --write-expect " + path + " writes one)";
  if (json.is_discarded()) {
    error = "the expect file " + path + " is no JSON" + hint;
    return std::nullopt;
  }
  if (!json.is_object() || json.value("kind", Json()) != "expect") {
    error = "the expect file " + path + " is no expect file of setup-sim" + hint;
    return std::nullopt;
  }
  if (json.value("schemaVersion", Json()) != kSchemaVersion) {
    error = "the expect file " + path + " is of schema version " +
            json.value("schemaVersion", Json()).dump() + "; this setup-sim reads version " +
            std::to_string(kSchemaVersion) + hint;
    return std::nullopt;
  }
  if (!json.contains("rows") || !json["rows"].is_array()) {
    error = "the expect file " + path + " has no list of rows" + hint;
    return std::nullopt;
  }
  for (const Json& row : json["rows"]) {
    for (const char* key : {"windows", "command", "options"}) {
      if (!row.is_object() || !row.contains(key) || !row[key].is_string()) {
        error = "the expect file " + path + ": a row without its \"" + key + "\"";
        return std::nullopt;
      }
    }
  }
  return json;
}

std::vector<ExpectDifference> CompareWithExpected(const Json& expected,
                                                  const std::vector<MatrixRow>& rows) {
  std::vector<ExpectDifference> differences;
  std::vector<bool> matched(expected["rows"].size(), false);
  for (const MatrixRow& row : rows) {
    const Json actual = MatrixRowJson(row);
    const std::string name = RowName(actual);
    bool found = false;
    for (std::size_t i = 0; i < expected["rows"].size() && !found; ++i) {
      const Json& wanted = expected["rows"][i];
      if (!matched[i] && RowName(wanted) == name) {
        matched[i] = found = true;
        CompareRows(name, wanted, actual, "", differences);
      }
    }
    if (!found) {
      differences.push_back(ExpectDifference{name, "row", "not in the file", "run"});
    }
  }
  for (std::size_t i = 0; i < matched.size(); ++i) {
    if (!matched[i]) {
      differences.push_back(
          ExpectDifference{RowName(expected["rows"][i]), "row", "in the file", "not run"});
    }
  }
  return differences;
}

std::string ExpectText(const std::string& file, const Json& expected, const std::string& disc,
                       const std::vector<ExpectDifference>& differences) {
  std::string text = "\nCompared with " + file + ": ";
  if (differences.empty()) {
    return text + "every row does what it expects\n";
  }
  text += std::to_string(differences.size()) +
          (differences.size() == 1 ? " difference\n" : " differences\n");
  const std::string written = expected.value("disc", std::string());
  if (!written.empty() && written != disc) {
    text += "  (the file was written for the disc " + written + ")\n";
  }
  for (const ExpectDifference& difference : differences) {
    text += "  " + difference.row + ": " + difference.what + ": expected " + difference.expected +
            ", got " + difference.actual + "\n";
  }
  return text;
}

Json ExpectResultJson(const std::string& file, const Json& expected,
                      const std::vector<ExpectDifference>& differences) {
  Json list = Json::array();
  for (const ExpectDifference& difference : differences) {
    list.push_back(Json{{"row", difference.row},
                        {"what", difference.what},
                        {"expected", difference.expected},
                        {"actual", difference.actual}});
  }
  return Json{{"file", file},
              {"disc", expected.value("disc", Json())},
              {"alike", differences.empty()},
              {"differences", list}};
}

}  // namespace lab
