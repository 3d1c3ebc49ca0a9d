#include "tools/setup-sim/ReportJson.h"

#include "tools/setup-sim/ReportText.h"

namespace lab {

namespace {

using Json = nlohmann::ordered_json;

Json Optional(const std::optional<std::string>& text) {
  return text ? Json(*text) : Json(nullptr);
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
      values.push_back(Json{{"name", value.name},
                            {"before", Optional(value.before)},
                            {"after", Optional(value.after)}});
    }
    Json key{{"change", KindName(change.kind)}, {"key", change.path}, {"values", values}};
    if (change.kind == RegKeyChange::Kind::Deleted) {
      key["deletedSubkeys"] = change.deletedSubkeys;
    }
    keys.push_back(key);
  }
  return keys;
}

Json Files(const std::vector<FileChange>& changes) {
  Json files = Json::array();
  for (const FileChange& change : changes) {
    Json file{
        {"change", KindName(change.kind)}, {"path", change.path}, {"folder", change.isFolder}};
    if (!change.isFolder) {
      file["sizeBefore"] = change.sizeBefore;
      file["sizeAfter"] = change.sizeAfter;
      file["attributesBefore"] = change.attributesBefore;
      file["attributesAfter"] = change.attributesAfter;
    }
    files.push_back(file);
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
                           {"key", Optional(entry.key)},
                           {"value", Optional(entry.value)}});
  }
  return entries;
}

Json Restart(const RunReport& report) {
  Json pending = Json::array();
  for (const PendingRename& rename : report.pendingRenames) {
    pending.push_back(
        Json{{"source", rename.source},
             {"target", rename.target.empty() ? Json(nullptr) : Json(rename.target)}});
  }
  return Json{{"requested", report.restartRequested},
              {"pending", pending},
              {"restarted", report.restarted},
              {"actions", report.restartActions}};
}

const char* EndName(RunReport::End end) {
  switch (end) {
    case RunReport::End::Exited:
      return "exited";
    case RunReport::End::Stopped:
      return "stopped";
    case RunReport::End::Returned:
      break;
  }
  return "returned";
}

}  // namespace

nlohmann::ordered_json ReportJson(const RunReport& report, bool withJournal) {
  Json messageBoxes = Json::array();
  for (const MessageBoxShown& box : report.messageBoxes) {
    messageBoxes.push_back(
        Json{{"caption", box.caption}, {"text", box.text}, {"answer", box.answer}});
  }
  Json programs = Json::array();
  for (const ProgramStarted& program : report.programs) {
    programs.push_back(
        Json{{"how", program.how},
             {"commandLine", program.commandLine},
             {"program", program.program.empty() ? Json(nullptr) : Json(program.program)},
             {"failure", program.failure.empty() ? Json(nullptr) : Json(program.failure)}});
  }
  const app::DetectionState& d = report.detection;
  Json json{
      {"windows", report.windows},
      {"version", Json{{"major", report.os.majorVersion},
                       {"minor", report.os.minorVersion},
                       {"build", report.os.buildNumber & 0xFFFF},
                       {"platform", report.os.platformId}}},
      {"machine", report.machineFolder.empty() ? Json(nullptr) : Json(report.machineFolder)},
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
      {"driver", report.flavour.empty() ? Json(nullptr) : Json(report.flavour)},
      {"dialogs", Dialogs(report)},
      {"messageBoxes", messageBoxes},
      {"registry", Registry(report.registry)},
      {"registryText", RegistryDiffText(report.registry)},
      {"files", Files(report.files)},
      {"profileEntries", Profiles(report)},
      {"programs", programs},
      {"restart", Restart(report)},
      {"end",
       Json{{"how", EndName(report.end)},
            {"exitCode",
             report.end == RunReport::End::Exited ? Json(report.exitCode) : Json(nullptr)},
            {"stopped", report.stopReason.empty() ? Json(nullptr) : Json(report.stopReason)}}},
      {"waitedMs", report.waitedMs},
      {"waits", report.waits},
      {"virtualMs", report.virtualMs},
  };
  if (withJournal) {
    Json journal = Json::array();
    for (const sim::JournalEntry& entry : report.journal) {
      journal.push_back(
          Json{{"ms", entry.timeMs}, {"category", entry.category}, {"text", entry.text}});
    }
    json["journal"] = journal;
  }
  return json;
}

}  // namespace lab
