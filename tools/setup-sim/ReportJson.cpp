#include "tools/setup-sim/ReportJson.h"

#include <cstdio>

#include "platform/WinConstants.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/ReportText.h"

namespace lab {

namespace {

using Json = nlohmann::ordered_json;

Json Optional(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
}

Json Text(const std::string& text) {
  return text.empty() ? Json(nullptr) : Json(text);
}

template <typename Number>
Json Present(bool present, Number value) {
  return present ? Json(value) : Json(nullptr);
}

Json Options(const app::InstallOptions& o) {
  return Json{{"DriverOnly", o.DriverOnly},
              {"WindowsMEDriverAskUser", o.WindowsMEDriverAskUser},
              {"WindowsMEDriver", o.WindowsMEDriver},
              {"Windows98SEDriverAskUser", o.Windows98SEDriverAskUser},
              {"Windows98SEDriver", o.Windows98SEDriver},
              {"WebSetup", o.WebSetup},
              {"InstallWDMDriver", o.InstallWDMDriver},
              {"InstallWDMUDACodecDriver", o.InstallWDMUDACodecDriver},
              {"UDAWindows98Driver", o.UDAWindows98Driver}};
}

Json Registry(const std::vector<RegKeyChange>& changes) {
  Json keys = Json::array();
  for (const RegKeyChange& change : changes) {
    Json values = Json::array();
    for (const RegValueChange& value : change.values) {
      values.push_back(Json{{"name", PlainValueName(value.name)},
                            {"before", value.before ? RegDataJson(*value.before) : Json(nullptr)},
                            {"after", value.after ? RegDataJson(*value.after) : Json(nullptr)}});
    }
    keys.push_back(Json{{"change", KindName(change.kind)},
                        {"key", change.path},
                        {"deletedSubkeys", change.deletedSubkeys},
                        {"values", values}});
  }
  return keys;
}

Json Files(const std::vector<FileChange>& changes) {
  Json files = Json::array();
  for (const FileChange& change : changes) {
    const bool before = change.kind != FileChange::Kind::Created;
    const bool after = change.kind != FileChange::Kind::Deleted;
    files.push_back(Json{
        {"change", KindName(change.kind)},
        {"path", change.path},
        {"folder", change.isFolder},
        {"sizeBefore", Present(before && !change.isFolder, change.sizeBefore)},
        {"sizeAfter", Present(after && !change.isFolder, change.sizeAfter)},
        {"contentChanged", change.contentChanged},
        {"attributesBefore", Present(before, change.attributesBefore)},
        {"attributesAfter", Present(after, change.attributesAfter)},
    });
  }
  return files;
}

Json Dialogs(const RunReport& report) {
  Json dialogs = Json::array();
  for (const DialogShown& dialog : report.dialogs) {
    dialogs.push_back(Json{{"template", dialog.templateId},
                           {"caption", dialog.caption},
                           {"actions", dialog.actions},
                           {"result", dialog.result ? Json(*dialog.result) : Json(nullptr)},
                           {"depth", dialog.depth}});
  }
  return dialogs;
}

Json Profiles(const RunReport& report) {
  Json entries = Json::array();
  for (const ProfileEntry& entry : report.profileEntries) {
    entries.push_back(Json{{"file", entry.file},
                           {"kind", ProfileFileKind(entry.file)},
                           {"section", entry.section},
                           {"key", entry.key},
                           {"before", Optional(entry.before)},
                           {"after", Optional(entry.after)}});
  }
  return entries;
}

Json MessageBoxes(const RunReport& report) {
  Json boxes = Json::array();
  for (const MessageBoxShown& box : report.messageBoxes) {
    boxes.push_back(Json{{"caption", box.caption}, {"text", box.text}, {"answer", box.answer}});
  }
  return boxes;
}

const char* EndName(RunReport::End end) {
  switch (end) {
    case RunReport::End::Exited:
      return "exited";
    case RunReport::End::Stopped:
      return "stopped";
    case RunReport::End::PowerLost:
      return "power-lost";
    case RunReport::End::Returned:
      break;
  }
  return "returned";
}

// The power around the run: the start before it (--start-first), and a loss (--power-off-at).
Json PowerJson(const RunReport& report) {
  return Json{{"startedFirst", report.startedFirst},
              {"startActions", report.startActions},
              {"lost", Text(report.powerLoss)},
              {"calls", Present(report.powerPlanned, report.calls)}};
}

Json Journal(const RunReport& report) {
  Json journal = Json::array();
  for (const sim::JournalEntry& entry : report.journal) {
    journal.push_back(
        Json{{"ms", entry.timeMs}, {"category", entry.category}, {"text", entry.text}});
  }
  return journal;
}

}  // namespace

Json RegDataJson(const std::string& written) {
  std::optional<RegData> data = DecodeRegData(written);
  if (!data) {
    return Json{{"type", nullptr}, {"data", nullptr}, {"hex", nullptr}};
  }
  std::string hex;
  for (std::uint8_t byte : data->bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", byte);
    hex += digits;
  }
  Json typed(nullptr);
  if (std::optional<std::vector<std::string>> strings = RegDataStrings(*data)) {
    typed = data->type == win::REG_MULTI_SZ ? Json(*strings) : Json(strings->front());
  } else if (data->type == win::REG_DWORD && data->bytes.size() == 4) {
    const std::vector<std::uint8_t>& b = data->bytes;
    typed = static_cast<std::uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16)) |
            (static_cast<std::uint32_t>(b[3]) << 24);
  }
  return Json{{"type", RegTypeName(data->type)}, {"data", typed}, {"hex", hex}};
}

Json ProgramsJson(const std::vector<ProgramStarted>& programs) {
  Json list = Json::array();
  for (const ProgramStarted& program : programs) {
    list.push_back(Json{{"how", program.how},
                        {"commandLine", program.commandLine},
                        {"program", Text(program.program)},
                        {"failure", Text(program.failure)}});
  }
  return list;
}

Json RestartJson(const RunReport& report) {
  Json pending = Json::array();
  for (const PendingRename& rename : report.pendingRenames) {
    pending.push_back(Json{{"source", rename.source}, {"target", Text(rename.target)}});
  }
  return Json{{"requested", report.restartRequested},
              {"pending", pending},
              {"restarted", report.restarted},
              {"actions", report.restartActions}};
}

Json CountsJson(const ChangeCounts& counts) {
  return Json{{"files", counts.files},
              {"folders", counts.folders},
              {"registryKeys", counts.registryKeys},
              {"registryValues", counts.registryValues},
              {"profileEntries", counts.profileEntries},
              {"programs", counts.programs}};
}

Json ReportJson(const RunReport& report, bool withJournal) {
  const app::DetectionState& d = report.detection;
  Json json = JsonDocument("run");
  json.update(Json{
      {"windows", report.windows},
      {"version", Json{{"major", report.os.majorVersion},
                       {"minor", report.os.minorVersion},
                       {"build", report.os.buildNumber & 0xFFFF},
                       {"platform", report.os.platformId}}},
      {"machine", Text(report.machineFolder)},
      {"disc", report.disc},
      {"program", report.program},
      {"arguments", report.args},
      {"notes", report.notes},
      {"class", report.windowsClass},
      {"sourceDir", report.sourceDir},
      {"commandLine", report.commandLine},
      {"options", Options(report.options)},
      {"chip", Json{{"vendor", d.chipVendorId},
                    {"device", d.chipDeviceId},
                    {"signature", {d.chipSignature[0], d.chipSignature[1]}},
                    {"udaMode", d.udaMode}}},
      {"route", RouteText(report)},
      {"steps", report.route},
      {"driver", Text(report.flavour)},
      {"dialogs", Dialogs(report)},
      {"messageBoxes", MessageBoxes(report)},
      {"registry", Registry(report.registry)},
      {"registryText", RegistryDiffText(report.registry)},
      {"files", Files(report.files)},
      {"profileEntries", Profiles(report)},
      {"programs", ProgramsJson(report.programs)},
      {"restart", RestartJson(report)},
      {"counts", CountsJson(CountChanges(report))},
      {"end", Json{{"how", EndName(report.end)},
                   {"exitCode", Present(report.end == RunReport::End::Exited, report.exitCode)},
                   {"stopped", Text(report.stopReason)}}},
      {"power", PowerJson(report)},
      {"waitedMs", report.waitedMs},
      {"waits", report.waits},
      {"virtualMs", report.virtualMs},
      {"journal", withJournal ? Journal(report) : Json(nullptr)},
  });
  return json;
}

}  // namespace lab
