// diff: two discs, or one disc with two option files, run on the same Windows versions and
// commands; alike gives nothing, and each thing a run does differently is named with both sides.
#include <gtest/gtest.h>

#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/RunDiff.h"

namespace {

namespace fs = std::filesystem;
using labtest::kExamples;

std::vector<lab::MatrixRow> Rows(const fs::path& disc, const std::string& optionFile = "") {
  lab::MatrixSetup setup;
  setup.disc = disc.string();
  setup.windows = {"98", "ME"};
  setup.commands = {lab::MainCommand::Driver, lab::MainCommand::Applications};
  setup.variants = {lab::OptionVariant{"options", optionFile, {}}};
  std::string error;
  std::vector<lab::MatrixRow> rows =
      lab::RunMatrix(setup, labtest::ProductCommands(), nullptr, error);
  EXPECT_EQ(rows.size(), 4u) << error;
  return rows;
}

const lab::RunDifference* Find(const lab::RowDifferences& row, const std::string& what,
                               const std::string& subject) {
  for (const lab::RunDifference& difference : row.differences) {
    if (difference.what == what && difference.subject == subject) {
      return &difference;
    }
  }
  return nullptr;
}

TEST(RunDiff, ACopyOfTheDiscDoesTheSame) {
  labtest::TempFolder temp;
  fs::copy(kExamples / "disc", temp.path() / "copy", fs::copy_options::recursive);
  const auto rows = lab::CompareMatrices(Rows(kExamples / "disc"), Rows(temp.path() / "copy"));
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(lab::DiffText("old", "new", rows), "");
}

TEST(RunDiff, ANewDiscIsNamedFileByFileAndProgramByProgram) {
  labtest::TempFolder temp;
  const fs::path disc = temp.path() / "new";
  fs::copy(kExamples / "disc", disc, fs::copy_options::recursive);
  // A new driver of the same size, and ME's application setup gone.
  std::string driver = labtest::ReadText(disc / "W95-98/drv/98/OVAUDIO.VXD");
  driver[0] = driver[0] == 'x' ? 'y' : 'x';
  labtest::WriteText(disc / "W95-98/drv/98/OVAUDIO.VXD", driver);
  fs::remove(disc / "Win_ME/app/Setup.exe");
  const auto rows = lab::CompareMatrices(Rows(kExamples / "disc"), Rows(disc));
  ASSERT_EQ(rows.size(), 2u);  // 98 driver, ME apps
  EXPECT_EQ(rows[0].windows + " " + rows[0].command, "98 driver");
  const lab::RunDifference* staged =
      Find(rows[0], "file", "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD");
  ASSERT_NE(staged, nullptr);
  EXPECT_EQ(staged->second, staged->first + ", other bytes");
  EXPECT_EQ(rows[1].windows + " " + rows[1].command, "ME apps");
  const lab::RunDifference* gone = Find(rows[1], "program", "D:\\Win_ME\\app\\Setup.exe");
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(gone->first, "started");
  EXPECT_EQ(gone->second, "-");
  const std::string text = lab::DiffText("old", "new", rows);
  EXPECT_EQ(text.rfind("--- old\n+++ new\n", 0), 0u) << text;
  EXPECT_NE(text.find("\nWindows ME, apps:\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n  program D:\\Win_ME\\app\\Setup.exe: started -> -\n"), std::string::npos)
      << text;
}

TEST(RunDiff, AnotherOptionFileChangesTheRouteAndTheRestart) {
  labtest::TempFolder temp;
  const fs::path options = temp.path() / "vxd.ini";
  std::string text = labtest::ReadText(kExamples / "disc/setup.ini");
  text.replace(text.find("WindowsMEDriver=1"), 17, "WindowsMEDriver=0");
  labtest::WriteText(options, text);
  const auto rows =
      lab::CompareMatrices(Rows(kExamples / "disc"), Rows(kExamples / "disc", options.string()));
  // The staging on 98 copies the other option file; on ME the driver's flavour changes, and with
  // it the application setup chosen.
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_NE(Find(rows[0], "file", "C:\\Program Files\\Orvanta\\WIN_9x\\Setup.ini"), nullptr);
  EXPECT_EQ(rows[1].windows + " " + rows[1].command, "ME driver");
  EXPECT_EQ(rows[2].windows + " " + rows[2].command, "ME apps");
  const lab::RunDifference* route = Find(rows[1], "route", "");
  ASSERT_NE(route, nullptr);
  EXPECT_EQ(route->first, "InstallDriver");
  EXPECT_EQ(route->second, "InstallDriver > StageVxdDriver");
  const lab::RunDifference* restart = Find(rows[1], "restart", "");
  ASSERT_NE(restart, nullptr);
  EXPECT_EQ(restart->second, "requested");
  const lab::RunDifference* mru =
      Find(rows[1], "registry", "HKEY_USERS\\.DEFAULT\\InstallLocationsMRU \"MRUList\"");
  ASSERT_NE(mru, nullptr);
  EXPECT_EQ(mru->first, "-");
  EXPECT_EQ(mru->second, "set to REG_SZ \"ba\"");
}

}  // namespace
