#include "tools/setup-sim/RunDiff.h"

#include <cstdio>
#include <map>

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/JsonDocument.h"

namespace lab {

namespace {

// One side's account of the things of one kind: each by a key that ignores case, with the
// subject as it is shown, what people read, and what is compared (what people read, and what
// they cannot, such as a file's bytes).
struct Entry {
  std::string subject;
  std::string shown;
  std::string compared;
};
using Account = std::map<std::string, Entry>;

void Add(Account& account, const std::string& subject, const std::string& shown,
         const std::string& compared = "") {
  std::string key = sim::Upper(subject);
  // The same program started twice is two entries.
  for (int again = 2; account.count(key) != 0; ++again) {
    key = sim::Upper(subject) + "#" + std::to_string(again);
  }
  account[key] = Entry{subject, shown, shown + compared};
}

void Compare(const char* what, const Account& first, const Account& second,
             std::vector<RunDifference>& differences) {
  auto a = first.begin();
  auto b = second.begin();
  while (a != first.end() || b != second.end()) {
    if (b == second.end() || (a != first.end() && a->first < b->first)) {
      differences.push_back(RunDifference{what, a->second.subject, a->second.shown, "-"});
      ++a;
    } else if (a == first.end() || b->first < a->first) {
      differences.push_back(RunDifference{what, b->second.subject, "-", b->second.shown});
      ++b;
    } else {
      if (a->second.compared != b->second.compared) {
        const bool looksAlike = a->second.shown == b->second.shown;
        differences.push_back(RunDifference{what, a->second.subject, a->second.shown,
                                            b->second.shown + (looksAlike ? ", other bytes" : "")});
      }
      ++a;
      ++b;
    }
  }
}

void CompareOne(const char* what, const std::string& first, const std::string& second,
                std::vector<RunDifference>& differences) {
  if (first != second) {
    differences.push_back(
        RunDifference{what, "", first.empty() ? "-" : first, second.empty() ? "-" : second});
  }
}

// A registry value's data as people read it: REG_SZ "text", REG_DWORD 3, REG_BINARY 03 00.
std::string DataText(const std::string& written) {
  std::optional<RegData> data = DecodeRegData(written);
  if (!data) {
    return written;
  }
  std::string text = RegTypeName(data->type);
  if (std::optional<std::vector<std::string>> strings = RegDataStrings(*data)) {
    for (const std::string& each : *strings) {
      text += " \"" + each + "\"";
    }
    return text;
  }
  if (data->type == win::REG_DWORD && data->bytes.size() == 4) {
    const std::vector<std::uint8_t>& b = data->bytes;
    return text + " " +
           std::to_string(static_cast<std::uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16)) |
                          (static_cast<std::uint32_t>(b[3]) << 24));
  }
  for (std::uint8_t byte : data->bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, " %02x", byte);
    text += digits;
  }
  return text;
}

Account Programs(const RunReport& report) {
  Account account;
  for (const ProgramStarted& program : report.programs) {
    Add(account, program.commandLine,
        program.failure.empty() ? "started" : "not there (" + program.failure + ")");
  }
  return account;
}

Account Dialogs(const RunReport& report) {
  Account account;
  for (const DialogShown& dialog : report.dialogs) {
    Add(account, std::to_string(dialog.templateId) + " \"" + dialog.caption + "\"",
        dialog.result ? "ends with " + std::to_string(*dialog.result) : "open when the run ended");
  }
  return account;
}

Account MessageBoxes(const RunReport& report) {
  Account account;
  for (const MessageBoxShown& box : report.messageBoxes) {
    Add(account, "\"" + box.text + "\"", "shown");
  }
  return account;
}

Account Files(const RunReport& report) {
  Account account;
  for (const FileChange& change : report.files) {
    std::string shown = KindName(change.kind);
    if (!change.isFolder && change.kind != FileChange::Kind::Deleted) {
      shown += " (" + std::to_string(change.sizeAfter) + " bytes)";
    }
    Add(account, change.path + (change.isFolder ? "\\" : ""), shown,
        " " + std::to_string(change.contentAfter) + " " + std::to_string(change.attributesAfter));
  }
  return account;
}

Account Registry(const RunReport& report) {
  Account account;
  for (const RegKeyChange& key : report.registry) {
    if (key.kind != RegKeyChange::Kind::Changed) {
      Add(account, key.path, std::string(KindName(key.kind)) + " key");
    }
    if (key.kind == RegKeyChange::Kind::Deleted) {
      continue;  // its values went with it
    }
    for (const RegValueChange& value : key.values) {
      Add(account, key.path + " " + value.name,
          value.after ? "set to " + DataText(*value.after) : "deleted");
    }
  }
  return account;
}

Account ProfileEntries(const RunReport& report) {
  Account account;
  for (const ProfileEntry& entry : report.profileEntries) {
    Add(account, entry.file + " [" + entry.section + "] " + entry.key,
        entry.after ? "set to \"" + *entry.after + "\"" : "deleted");
  }
  return account;
}

std::string PendingText(const RunReport& report) {
  std::string text;
  for (const PendingRename& rename : report.pendingRenames) {
    text += (text.empty() ? "" : "; ") + rename.source + " -> " +
            (rename.target.empty() ? "(deleted)" : rename.target);
  }
  return text;
}

std::string EndText(const RunReport& report) {
  switch (report.end) {
    case RunReport::End::Exited:
      return "exits with code " + std::to_string(report.exitCode);
    case RunReport::End::Stopped:
      return "stops: " + report.stopReason;
    case RunReport::End::PowerLost:
      return report.powerLoss;
    case RunReport::End::Returned:
      break;
  }
  return "start-up returns";
}

std::string RowName(const MatrixRow& row) {
  return row.windows + " " + row.command;
}

}  // namespace

std::vector<RunDifference> CompareRuns(const RunReport& first, const RunReport& second) {
  std::vector<RunDifference> differences;
  CompareOne("route", RouteText(first), RouteText(second), differences);
  CompareOne("driver", first.flavour, second.flavour, differences);
  Compare("dialog", Dialogs(first), Dialogs(second), differences);
  Compare("message box", MessageBoxes(first), MessageBoxes(second), differences);
  Compare("program", Programs(first), Programs(second), differences);
  Compare("file", Files(first), Files(second), differences);
  Compare("registry", Registry(first), Registry(second), differences);
  Compare("profile entry", ProfileEntries(first), ProfileEntries(second), differences);
  CompareOne("restart", first.restartRequested ? "requested" : "not requested",
             second.restartRequested ? "requested" : "not requested", differences);
  CompareOne("pending renames", PendingText(first), PendingText(second), differences);
  CompareOne("end", EndText(first), EndText(second), differences);
  return differences;
}

std::vector<RowDifferences> CompareMatrices(const std::vector<MatrixRow>& first,
                                            const std::vector<MatrixRow>& second) {
  std::vector<RowDifferences> rows;
  for (const MatrixRow& a : first) {
    for (const MatrixRow& b : second) {
      if (RowName(a) != RowName(b) || !a.report || !b.report) {
        continue;
      }
      std::vector<RunDifference> differences = CompareRuns(*a.report, *b.report);
      if (!differences.empty()) {
        rows.push_back(RowDifferences{a.windows, a.command, differences});
      }
    }
  }
  return rows;
}

std::string DiffText(const std::string& firstName, const std::string& secondName,
                     const std::vector<RowDifferences>& rows) {
  if (rows.empty()) {
    return {};
  }
  std::string text = "--- " + firstName + "\n+++ " + secondName + "\n";
  for (const RowDifferences& row : rows) {
    text += "\nWindows " + row.windows + ", " + row.command + ":\n";
    for (const RunDifference& difference : row.differences) {
      text += "  " + difference.what +
              (difference.subject.empty() ? "" : " " + difference.subject) + ": " +
              difference.first + " -> " + difference.second + "\n";
    }
  }
  return text;
}

nlohmann::ordered_json DiffJson(const std::string& firstName, const std::string& secondName,
                                const std::vector<RowDifferences>& rows) {
  using Json = nlohmann::ordered_json;
  Json json = JsonDocument("diff");
  json["first"] = firstName;
  json["second"] = secondName;
  json["alike"] = rows.empty();
  Json list = Json::array();
  for (const RowDifferences& row : rows) {
    Json differences = Json::array();
    for (const RunDifference& difference : row.differences) {
      differences.push_back(Json{{"what", difference.what},
                                 {"subject", difference.subject},
                                 {"first", difference.first},
                                 {"second", difference.second}});
    }
    list.push_back(
        Json{{"windows", row.windows}, {"command", row.command}, {"differences", differences}});
  }
  json["rows"] = list;
  return json;
}

}  // namespace lab
