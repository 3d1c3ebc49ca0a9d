#include "tools/setup-sim/ReportText.h"

#include <cstdio>
#include <map>

#include "platform/sim/Text.h"

namespace lab {

namespace {

std::string Number(std::uint64_t value) {
  return std::to_string(value);
}

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

std::string ResultName(int result) {
  switch (result) {
    case 1:
      return "1 (OK)";
    case 2:
      return "2 (Cancel)";
    default:
      return std::to_string(result);
  }
}

void Heading(std::string& out, const std::string& title) {
  out += "\n" + title + "\n";
}

void Where(std::string& out, const RunReport& report) {
  const platform::OsVersion& os = report.os;
  out += "machine: Windows " + report.windows + " (" + Number(os.majorVersion) + "." +
         Number(os.minorVersion) + " build " + Number(os.buildNumber & 0xFFFF) + "), " +
         (report.machineFolder.empty() ? "a fresh machine" : "folder " + report.machineFolder) +
         "\n";
  out += "disc: " + report.disc + "\nprogram: " + report.program +
         (report.args.empty() ? "" : " " + report.args) + "\n";
  for (const std::string& note : report.notes) {
    out += "note: " + note + "\n";
  }
  out += "class: " + report.windowsClass + "\nsourceDir: " + report.sourceDir +
         "\ncommandLine: " + report.commandLine + "\n";
  const app::InstallOptions& o = report.options;
  out += "options: DriverOnly=" + Number(o.DriverOnly) +
         " WindowsMEDriverAskUser=" + Number(o.WindowsMEDriverAskUser) +
         " WindowsMEDriver=" + Number(o.WindowsMEDriver) +
         " Windows98SEDriverAskUser=" + Number(o.Windows98SEDriverAskUser) +
         " Windows98SEDriver=" + Number(o.Windows98SEDriver) + " WebSetup=" + Number(o.WebSetup) +
         " InstallWDMDriver=" + Number(o.InstallWDMDriver) +
         " InstallWDMUDACodecDriver=" + Number(o.InstallWDMUDACodecDriver) +
         " UDAWindows98Driver=" + Number(o.UDAWindows98Driver) + "\n";
  const app::DetectionState& d = report.detection;
  out += "chip: " +
         (d.chipVendorId == 0 ? std::string("none found")
                              : Hex(d.chipVendorId, 4) + ":" + Hex(d.chipDeviceId, 4) +
                                    (d.udaMode ? " (codec " + Hex(d.chipSignature[0], 4) + ":" +
                                                     Hex(d.chipSignature[1], 4) + ")"
                                               : "")) +
         ", udaMode " + Number(d.udaMode) + "\n";
  out += "route: " + RouteText(report) +
         (report.flavour.empty() ? "" : ", driver " + report.flavour) + "\n";
}

void Dialogs(std::string& out, const RunReport& report) {
  Heading(out, "Dialogs");
  if (report.dialogs.empty()) {
    out += "  none\n";
  }
  for (const DialogShown& dialog : report.dialogs) {
    out += std::string(2 + 2 * static_cast<std::size_t>(dialog.depth), ' ') + "dialog " +
           Number(static_cast<unsigned>(dialog.templateId)) + " \"" + dialog.caption + "\": ";
    for (std::size_t i = 0; i < dialog.actions.size(); ++i) {
      out += (i ? ", " : "") + dialog.actions[i];
    }
    out += dialog.actions.empty() ? "no action" : "";
    out += dialog.result ? " -> ends with " + ResultName(*dialog.result) : " -> still shown";
    out += "\n";
  }
  Heading(out, "Message boxes");
  if (report.messageBoxes.empty()) {
    out += "  none\n";
  }
  for (const MessageBoxShown& box : report.messageBoxes) {
    out += "  \"" + box.caption + "\": \"" + box.text + "\" -> " + box.answer + "\n";
  }
}

void Registry(std::string& out, const RunReport& report) {
  Heading(out, "Registry changes (" + Number(report.registry.size()) + " keys, REGEDIT4)");
  if (report.registry.empty()) {
    out += "  none\n";
    return;
  }
  for (const std::string& line : sim::Split(RegistryDiffText(report.registry), '\n')) {
    out += line.empty() ? "\n" : "  " + line + "\n";
  }
}

void Files(std::string& out, const RunReport& report) {
  const ChangeCounts counts = CountChanges(report);
  Heading(out, "Files (" + Number(counts.files) + (counts.files == 1 ? " file" : " files") +
                   " and " + Number(counts.folders) +
                   (counts.folders == 1 ? " folder" : " folders") +
                   " created, changed or deleted)");
  if (report.files.empty()) {
    out += "  none\n";
  }
  for (const FileChange& change : report.files) {
    out += "  " + std::string(KindName(change.kind)) +
           std::string(8 - std::string(KindName(change.kind)).size(), ' ') + change.path +
           (change.isFolder ? "\\" : "");
    if (!change.isFolder && change.kind == FileChange::Kind::Created) {
      out += " (" + Number(change.sizeAfter) + " bytes)";
    } else if (change.kind == FileChange::Kind::Changed) {
      out += change.contentChanged
                 ? " (" + Number(change.sizeBefore) + " -> " + Number(change.sizeAfter) + " bytes)"
                 : " (attributes " + Hex(change.attributesBefore, 2) + "h -> " +
                       Hex(change.attributesAfter, 2) + "h)";
    }
    out += "\n";
  }
}

void Profiles(std::string& out, const RunReport& report) {
  Heading(out, "Profile-file entries changed (as the run left them)");
  if (report.profileEntries.empty()) {
    out += "  none\n";
  }
  std::string file;
  std::string section;
  for (const ProfileEntry& entry : report.profileEntries) {
    if (!sim::EqualsNoCase(entry.file, file)) {
      file = entry.file;
      section.clear();
      out += "  " + file + " (" + ProfileFileKind(file) + ")\n";
    }
    if (!sim::EqualsNoCase(entry.section, section)) {
      section = entry.section;
      out += "    [" + section + "]\n";
    }
    out += "      " + entry.key + (entry.after ? "=" + *entry.after : " deleted") +
           (entry.before  ? " (was " + *entry.before + ")"
            : entry.after ? " (new)"
                          : "") +
           "\n";
  }
}

void Programs(std::string& out, const RunReport& report) {
  Heading(out, "Programs started");
  if (report.programs.empty()) {
    out += "  none\n";
  }
  for (const ProgramStarted& program : report.programs) {
    out += "  " + program.how + " \"" + program.commandLine + "\"" +
           (program.failure.empty() ? " (" + program.program + ")" : " " + program.failure) + "\n";
  }
}

// A start's renames, one a line, or that there were none.
void StartActions(std::string& out, const std::vector<std::string>& actions,
                  const char* none = "nothing was pending") {
  for (const std::string& action : actions) {
    out += "    " + action + "\n";
  }
  if (actions.empty()) {
    out += std::string("    ") + none + "\n";
  }
}

void Restart(std::string& out, const RunReport& report) {
  if (report.startedFirst) {
    out += "  Windows started before the run (--start-first):\n";
    // A loss with no run to cut came in that start.
    const bool cut = report.end == RunReport::End::PowerLost && !report.powerPlanned;
    StartActions(out, report.startActions,
                 cut ? "none carried out before the power failed again" : "nothing was pending");
  }
  out += report.restartRequested ? "  requested\n" : "  not requested\n";
  if (!report.pendingRenames.empty()) {
    out += "  pending for the next start:\n";
    for (const PendingRename& rename : report.pendingRenames) {
      out += "    " +
             (rename.target.empty() ? "delete " + rename.source
                                    : rename.source + " -> " + rename.target) +
             "\n";
    }
  }
  if (report.restarted) {
    out += "  Windows restarted (--restart):\n";
    StartActions(out, report.restartActions);
  } else if (!report.pendingRenames.empty() || report.restartRequested) {
    out += "  (--restart restarts the machine and carries them out)\n";
  }
}

void End(std::string& out, const RunReport& report) {
  switch (report.end) {
    case RunReport::End::Exited:
      out += "  the process ended with exit code " +
             Number(static_cast<unsigned>(report.exitCode)) + "\n";
      break;
    case RunReport::End::Returned:
      out += "  start-up returned: the process ends\n";
      break;
    case RunReport::End::Stopped:
      out += "  stopped: " + report.stopReason + "\n";
      break;
    case RunReport::End::PowerLost:
      out += "  " + report.powerLoss + "\n";
      if (!report.restarted) {
        out +=
            "  (--start-first starts the machine before a run again, as Windows starts after "
            "a power loss)\n";
      }
      break;
  }
  if (report.powerPlanned) {
    out += "  the run made " + Number(report.calls) + " platform calls" +
           (report.end == RunReport::End::PowerLost ? "" : "; the power stayed on") + "\n";
  }
  out += "  waited " + Number(report.waitedMs) + " ms in " +
         Number(static_cast<unsigned>(report.waits)) + " waits; " + Number(report.virtualMs) +
         " ms of virtual time in all\n";
}

}  // namespace

std::string ProfileFileKind(const std::string& path) {
  std::size_t slash = path.rfind('\\');
  std::string name = sim::Upper(slash == std::string::npos ? path : path.substr(slash + 1));
  if (name == "ORVSETUP.INI") {
    return "state file";
  }
  if (name == "WININIT.INI" || name == "WIN.INI") {
    return name;
  }
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".INF") == 0) {
    return "INF copy";
  }
  return "other";
}

std::string ReportText(const RunReport& report) {
  std::string out;
  Where(out, report);
  Dialogs(out, report);
  Registry(out, report);
  Files(out, report);
  Profiles(out, report);
  Programs(out, report);
  Heading(out, "Restart");
  Restart(out, report);
  Heading(out, "End");
  End(out, report);
  return out;
}

std::string WhereText(const RunReport& report) {
  std::string out;
  Where(out, report);
  return out;
}

std::string RestartText(const RunReport& report) {
  std::string out;
  Restart(out, report);
  return out;
}

std::string EndText(const RunReport& report) {
  std::string out;
  End(out, report);
  return out;
}

std::string JournalText(const RunReport& report) {
  std::string out;
  char buffer[32];
  for (const sim::JournalEntry& entry : report.journal) {
    std::snprintf(buffer, sizeof buffer, "%8llu ms  %-8s ",
                  static_cast<unsigned long long>(entry.timeMs), entry.category.c_str());
    out += buffer + entry.text + "\n";
  }
  return out;
}

}  // namespace lab
