// The web pages of the lab tool, read as text: every text of a disc or machine escaped, a dialog
// drawn as it was left, and a run of thousands of registry changes kept whole but folded.
// (tests/lab/html-in-chromium.sh opens the pages in a browser.)
#include <gtest/gtest.h>

#include "tools/setup-sim/DialogHtml.h"
#include "tools/setup-sim/HtmlText.h"
#include "tools/setup-sim/ReportHtml.h"

namespace {

const std::string kHostile = "<script>alert('x')</script><img src=x onerror=\"y\">&\x01";

lab::RunReport HostileReport() {
  lab::RunReport report;
  report.windows = "98";
  report.machineFolder = report.disc = report.program = report.args = kHostile;
  report.notes = {kHostile};
  report.route = {kHostile};
  report.dialogs = {lab::DialogShown{102, kHostile, {kHostile}, 1, 0}};
  sim::DialogTemplate layout;
  layout.id = 102;
  layout.style = 0x10C00080;  // visible, caption, modal frame
  layout.cx = 100;
  layout.cy = 50;
  layout.font = "MS Sans Serif';background:url(x)";
  layout.controls = {sim::DialogControl{3, "Static", 0x10000000, kHostile, 4, 4, 80, 8},
                     sim::DialogControl{4, kHostile, 0x10000000, kHostile, 4, 20, 80, 8}};
  sim::DialogSnapshot state;
  state.templateId = 102;
  state.caption = kHostile;
  report.drawings = {lab::DialogDrawing{layout, state}};
  report.messageBoxes = {lab::MessageBoxShown{kHostile, kHostile, kHostile}};
  report.registry = {lab::RegKeyChange{lab::RegKeyChange::Kind::Added,
                                       "HKEY_LOCAL_MACHINE\\" + kHostile,
                                       {lab::RegValueChange{kHostile, std::nullopt, kHostile}},
                                       0}};
  report.files = {lab::FileChange{lab::FileChange::Kind::Created, kHostile, false, 0, 3}};
  report.profileEntries = {lab::ProfileEntry{kHostile, kHostile, kHostile, kHostile, kHostile}};
  report.programs = {lab::ProgramStarted{"WinExec", kHostile, kHostile, ""}};
  report.end = lab::RunReport::End::Stopped;
  report.stopReason = kHostile;
  return report;
}

// Markup the page has that no text of the report may add.
void ExpectNoMarkupFromTexts(const std::string& html) {
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("<img"), std::string::npos);
  EXPECT_EQ(html.find("background:url(x)"), std::string::npos);
  EXPECT_EQ(html.find('\x01'), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&lt;img src=x "
                      "onerror=&quot;y&quot;&gt;&amp;&#9217;"),
            std::string::npos);
}

TEST(ReportHtml, EveryTextOfTheDiscOrMachineIsEscaped) {
  const sim::Resources none;
  const lab::RunReport report = HostileReport();
  const std::string run = lab::RunHtml(report, none);
  ExpectNoMarkupFromTexts(run);
  // Each group of the report shows it: the where, the dialog and its drawing, the message box,
  // the registry, the files, the profile entry, the program and the end.
  std::size_t shown = 0;
  for (std::size_t at = run.find("&lt;script&gt;"); at != std::string::npos;
       at = run.find("&lt;script&gt;", at + 1)) {
    ++shown;
  }
  EXPECT_GE(shown, 16u);

  lab::MatrixRow row = lab::SummariseRun(report);
  row.command = row.variant = kHostile;
  row.report = std::make_shared<const lab::RunReport>(report);
  const std::string matrix = lab::MatrixHtml(kHostile, {row, row}, none);
  ExpectNoMarkupFromTexts(matrix);
  EXPECT_NE(matrix.find("<a href=\"#run-2\">"), std::string::npos);
  EXPECT_NE(matrix.find("<section class=\"run\" id=\"run-2\">"), std::string::npos);
}

TEST(ReportHtml, TenThousandRegistryChangesStayWholeButFolded) {
  lab::RunReport report;
  for (int i = 0; i < 10000; ++i) {
    report.registry.push_back(
        lab::RegKeyChange{lab::RegKeyChange::Kind::Added,
                          "HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Key" + std::to_string(i),
                          {lab::RegValueChange{"\"Value\"", std::nullopt, "\"data\""}},
                          0});
  }
  report.files = {lab::FileChange{lab::FileChange::Kind::Created, "C:\\A.TXT", false, 0, 1}};
  const std::string html = lab::RunHtml(report, sim::Resources());
  EXPECT_NE(html.find("<details><summary>Registry changes (10000 keys"), std::string::npos);
  EXPECT_NE(html.find("<details open><summary>Files (1 "), std::string::npos);
  EXPECT_NE(html.find("[HKEY_LOCAL_MACHINE\\Software\\Orvanta\\Key9999]"), std::string::npos);
  // The keys take what they take as REGEDIT4 text, and no markup each: the page is that text,
  // escaped, and a page's worth more.
  EXPECT_LT(html.size(), lab::Escape(lab::RegistryDiffText(report.registry)).size() + 8000);
}

TEST(DialogHtml, DrawsTheDialogAsTheRunLeftIt) {
  sim::DialogTemplate layout;
  layout.style = 0x10C00080;  // visible, caption, modal frame
  layout.caption = "Template caption";
  layout.pointSize = 8;
  layout.font = "MS Sans Serif";
  layout.cx = 200;
  layout.cy = 100;
  const std::uint32_t visible = 0x10000000;
  layout.controls = {
      {10, "Button", visible | 0x3, "Disable &MIDI port", 4, 8, 40, 16},  // auto check box
      {11, "Button", visible | 0x9, "Radio", 4, 30, 40, 10},              // auto radio button
      {12, "Button", visible | 0x1, "&Install && go", 4, 50, 40, 14},     // default button
      {13, "Static", visible | 0x80, "&Not a mnemonic", 4, 70, 40, 8},    // no prefix
      {14, "Button", 0x0, "Hidden", 4, 80, 40, 8},
  };
  sim::DialogSnapshot state;
  state.caption = "Setup";
  state.checked = {{10, 1}, {11, 0}};
  state.enabled = {{10, true}, {11, true}, {12, false}, {13, true}};
  state.placed = {{11, platform::Rect{170, 120, 430, 160}}};
  const sim::Resources none;
  lab::PagePictures pictures(none);
  const std::string html = lab::DialogHtml(lab::DialogDrawing{layout, state}, pictures);

  EXPECT_NE(html.find("<div class=\"title\">Setup</div>"), std::string::npos) << html;
  // MS Sans Serif 8 has dialog base units of 6 by 13 pixels: 4 units across are 6 pixels, 8 down
  // are 13.
  EXPECT_NE(html.find("<div class=\"ctl check checked\" style=\"left:6px;top:13px;width:60px;"
                      "height:26px\" title=\"10\"><span class=\"mark\"></span>Disable "
                      "<u>M</u>IDI port</div>"),
            std::string::npos)
      << html;
  // Moved by the program: where it was moved to, in pixels.
  EXPECT_NE(html.find("<div class=\"ctl radio\" style=\"left:170px;top:120px;width:260px;"
                      "height:40px\""),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("class=\"ctl push default disabled\""), std::string::npos) << html;
  EXPECT_NE(html.find("><u>I</u>nstall &amp; go</div>"), std::string::npos) << html;
  EXPECT_NE(html.find(">&amp;Not a mnemonic</div>"), std::string::npos) << html;
  EXPECT_EQ(html.find("Hidden"), std::string::npos) << html;
}

}  // namespace
