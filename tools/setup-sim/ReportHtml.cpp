#include "tools/setup-sim/ReportHtml.h"

#include <algorithm>
#include <map>

#include "tools/setup-sim/DialogHtml.h"
#include "tools/setup-sim/HtmlText.h"
#include "tools/setup-sim/MatrixTable.h"
#include "tools/setup-sim/ReportText.h"

namespace lab {

namespace {

// A list longer than this starts folded.
constexpr std::size_t kOpenListLength = 200;

const char kPageStyle[] = R"(body{font:14px/1.4 sans-serif;margin:1em 2em;color:#111}
h1{font-size:1.4em}h2{font-size:1.2em;border-bottom:1px solid #999;margin-top:2em}
h3{font-size:1em;margin:1.2em 0 .4em}
table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:2px 6px;text-align:left;
 vertical-align:top}th{background:#eee}
pre{background:#f6f6f6;padding:.5em;overflow-x:auto;margin:.3em 0}
summary{cursor:pointer;font-weight:bold;margin:1.2em 0 .4em}
.run{content-visibility:auto;contain-intrinsic-size:auto 1000px}
.shown{margin:.6em 0}.shown p{margin:.2em 0}
.stopped{color:#a00}.none{color:#666}.name{white-space:nowrap}
)";

std::string Page(const std::string& title, const std::string& body, const PagePictures& pictures) {
  // Nothing the page could fetch or run: its pictures are data, its style is in it.
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
         "img-src data:; style-src 'unsafe-inline'\">\n<title>" +
         Escape(title) + "</title>\n<style>\n" + kPageStyle + DialogStyle() + pictures.Style() +
         "</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

std::string Cell(const std::string& text) {
  return "<td>" + Escape(text) + "</td>";
}

// A list under its heading: folded when it is long, "none" when it is empty.
std::string List(const std::string& heading, std::size_t count, const std::string& content) {
  if (count == 0) {
    return "<h3>" + Escape(heading) + "</h3><p class=\"none\">none</p>\n";
  }
  return std::string("<details") + (count <= kOpenListLength ? " open" : "") + "><summary>" +
         Escape(heading) + "</summary>\n" + content + "</details>\n";
}

std::string ResultText(const DialogShown& dialog) {
  if (!dialog.result) {
    return " <span class=\"stopped\">(still shown at the end of the run)</span>";
  }
  return " &rarr; ends with " + std::to_string(*dialog.result);
}

// Each dialog in the order it opened, with what the user did and its drawing: the drawing of the
// k-th showing of a template is the k-th the dialog manager kept of it.
std::string Dialogs(const RunReport& report, PagePictures& pictures) {
  std::string html;
  std::map<int, std::size_t> seen;
  for (const DialogShown& dialog : report.dialogs) {
    std::size_t nth = seen[dialog.templateId]++;
    std::string actions;
    for (const std::string& action : dialog.actions) {
      actions += (actions.empty() ? "" : ", ") + action;
    }
    html += "<div class=\"shown\" style=\"margin-left:" + std::to_string(24 * dialog.depth) +
            "px\"><p>dialog " + std::to_string(dialog.templateId) + " &ldquo;" +
            Escape(dialog.caption) +
            "&rdquo;: " + (actions.empty() ? std::string("no action") : Escape(actions)) +
            ResultText(dialog) + "</p>\n";
    for (const DialogDrawing& drawing : report.drawings) {
      if (drawing.state.templateId == dialog.templateId && nth-- == 0) {
        html += DialogHtml(drawing, pictures) + "\n";
        break;
      }
    }
    html += "</div>\n";
  }
  return List("Dialogs (" + std::to_string(report.dialogs.size()) + ")", report.dialogs.size(),
              html);
}

std::string MessageBoxes(const RunReport& report) {
  std::string rows = "<table><tr><th>caption</th><th>text</th><th>answer</th></tr>\n";
  for (const MessageBoxShown& box : report.messageBoxes) {
    rows += "<tr>" + Cell(box.caption) + Cell(box.text) + Cell(box.answer) + "</tr>\n";
  }
  return List("Message boxes (" + std::to_string(report.messageBoxes.size()) + ")",
              report.messageBoxes.size(), rows + "</table>\n");
}

std::string Registry(const RunReport& report) {
  return List("Registry changes (" + std::to_string(report.registry.size()) + " keys, REGEDIT4)",
              report.registry.size(),
              "<pre>" + Escape(RegistryDiffText(report.registry)) + "</pre>\n");
}

std::string Files(const RunReport& report) {
  std::string rows = "<table><tr><th>change</th><th>path</th><th>bytes</th></tr>\n";
  for (const FileChange& change : report.files) {
    std::string size;
    if (!change.isFolder) {
      size = change.kind == FileChange::Kind::Created ? std::to_string(change.sizeAfter)
             : change.kind == FileChange::Kind::Deleted
                 ? std::to_string(change.sizeBefore)
                 : std::to_string(change.sizeBefore) + " → " + std::to_string(change.sizeAfter);
    }
    rows += "<tr>" + Cell(KindName(change.kind)) +
            Cell(change.path + (change.isFolder ? "\\" : "")) + Cell(size) + "</tr>\n";
  }
  return List("Files (" + std::to_string(report.files.size()) + " created, changed or deleted)",
              report.files.size(), rows + "</table>\n");
}

std::string Profiles(const RunReport& report) {
  std::string rows =
      "<table><tr><th>file</th><th>section</th><th>key</th><th>before</th><th>after</th></tr>\n";
  for (const ProfileEntry& entry : report.profileEntries) {
    rows += "<tr>" + Cell(entry.file) + Cell(entry.section) + Cell(entry.key) +
            Cell(entry.before.value_or("(none)")) + Cell(entry.after.value_or("(deleted)")) +
            "</tr>\n";
  }
  return List("Profile-file entries changed (" + std::to_string(report.profileEntries.size()) + ")",
              report.profileEntries.size(), rows + "</table>\n");
}

std::string Programs(const RunReport& report) {
  std::string rows = "<table><tr><th>how</th><th>command line</th><th>program</th></tr>\n";
  for (const ProgramStarted& program : report.programs) {
    rows += "<tr>" + Cell(program.how) + Cell(program.commandLine) +
            Cell(program.failure.empty() ? program.program : program.failure) + "</tr>\n";
  }
  return List("Programs started (" + std::to_string(report.programs.size()) + ")",
              report.programs.size(), rows + "</table>\n");
}

std::string RunSection(const RunReport& report, const std::string& id, const std::string& title,
                       const std::string& back, PagePictures& pictures) {
  return "<section class=\"run\" id=\"" + id + "\">\n<h2>" + Escape(title) + "</h2>\n" + back +
         "<pre>" + Escape(WhereText(report)) + "</pre>\n" + Dialogs(report, pictures) +
         MessageBoxes(report) + Registry(report) + Files(report) + Profiles(report) +
         Programs(report) + "<h3>Restart</h3><pre>" + Escape(RestartText(report)) +
         "</pre>\n<h3>End</h3><pre>" + Escape(EndText(report)) + "</pre>\n" + back + "</section>\n";
}

std::string RunTitle(const RunReport& report) {
  return "Windows " + report.windows + ": " + RouteText(report);
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) {
    text += (text.empty() ? "" : "; ") + item;
  }
  return text;
}

}  // namespace

std::string RunHtml(const RunReport& report, const sim::Resources& resources) {
  PagePictures pictures(resources);
  const std::string title = "setup-sim run: " + RunTitle(report);
  return Page(
      title,
      "<h1>" + Escape(title) + "</h1>\n" +
          RunSection(report, "run",
                     "The run of " + report.program + " on " +
                         (report.machineFolder.empty() ? "a fresh machine" : report.machineFolder),
                     "", pictures),
      pictures);
}

std::string MatrixHtml(const std::string& disc, const std::vector<MatrixRow>& rows,
                       const sim::Resources& resources) {
  PagePictures pictures(resources);
  // The options column only when the rows have more than the disc's.
  const bool variants = std::any_of(rows.begin(), rows.end(), [&](const MatrixRow& row) {
    return row.variant != rows.front().variant;
  });
  std::string table = std::string("<table id=\"matrix\"><tr><th>run</th>") +
                      (variants ? "<th>options</th>" : "") +
                      "<th>route</th><th>driver</th><th>restart</th><th>files</th><th>keys</th>"
                      "<th>programs started</th><th>&ldquo;Can not find&rdquo;</th></tr>\n";
  std::string sections;
  const std::string back = "<p><a href=\"#matrix\">back to the matrix</a></p>\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const MatrixRow& row = rows[i];
    const std::string id = "run-" + std::to_string(i + 1);
    const std::string name = "Windows " + row.windows + ", " + row.command;
    const std::string link =
        row.report ? "<a href=\"#" + id + "\">" + Escape(name) + "</a>" : Escape(name);
    table += "<tr><td class=\"name\">" + link + "</td>" + (variants ? Cell(row.variant) : "") +
             "<td>" + Escape(row.route) +
             (row.stopped.empty()
                  ? std::string()
                  : " <span class=\"stopped\">(stopped: " + Escape(row.stopped) + ")</span>") +
             "</td>" + Cell(row.flavour) + Cell(row.restartRequested ? "yes" : "no") +
             Cell(std::to_string(row.counts.files)) +
             Cell(std::to_string(row.counts.registryKeys)) + Cell(ProgramsCell(row.programs)) +
             "<td class=\"stopped\">" + Escape(Joined(row.cannotFind)) + "</td></tr>\n";
    if (!row.report) {
      continue;
    }
    sections += RunSection(*row.report, id,
                           name + (variants ? " (" + row.variant + ")" : "") + ": " + row.route,
                           back, pictures);
  }
  const std::string title = "setup-sim matrix of " + disc;
  return Page(title,
              "<h1>" + Escape(title) + "</h1>\n<p>" + std::to_string(rows.size()) +
                  " runs; each row links to its whole report.</p>\n" + table + "</table>\n" +
                  sections,
              pictures);
}

}  // namespace lab
