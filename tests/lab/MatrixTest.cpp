// The matrix of the sample disc on the sample machines: one row per Windows version, with the
// route, flavour, programs and restart each version's setup takes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/sim/Text.h"
#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/Expect.h"
#include "tools/setup-sim/Matrix.h"
#include "tools/setup-sim/MatrixTable.h"

namespace {

using labtest::kExamples;

std::vector<lab::MatrixRow> SampleMatrix(lab::MatrixSetup setup) {
  setup.disc = (kExamples / "disc").string();
  std::string error;
  std::vector<lab::MatrixRow> rows =
      lab::RunMatrix(setup, labtest::ProductCommands(), nullptr, error);
  EXPECT_EQ(error, "");
  return rows;
}

TEST(Matrix, TheSampleDiscOnEveryWindowsVersion) {
  lab::MatrixSetup setup;
  setup.machines = (kExamples / "machines").string();
  const std::vector<lab::MatrixRow> rows = SampleMatrix(setup);
  struct Expected {
    const char* windows;
    const char* route;
    const char* flavour;
    const char* program;  // the last program started
    bool restart;
  };
  const Expected expected[] = {
      {"95", "InstallDriver > StageVxdDriver", "VxD", "SysTray.exe", true},
      {"98", "InstallDriver > StageVxdDriver", "VxD", "SysTray.exe", true},
      // The disc asks on 98 SE; the answer taken is the preset, WDM.
      {"98SE", "InstallDriver > StageWdmDriver", "WDM",
       "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER", false},
      {"ME", "InstallDriver", "WDM", "D:\\MESetup.dat /DRIVER", false},
      {"NT4", "InstallDriver > InstallNt4Driver", "NT 4.0", nullptr, true},
      {"2000", "InstallDriver", "WDM", "D:\\W2KSetup.dat /DRIVER", false},
      {"XP", "InstallDriver", "WDM", "D:\\W2KSetup.dat /DRIVER", false},
  };
  ASSERT_EQ(rows.size(), std::size(expected));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const lab::MatrixRow& row = rows[i];
    SCOPED_TRACE(row.windows);
    EXPECT_EQ(row.windows, expected[i].windows);
    EXPECT_EQ(row.route, expected[i].route);
    EXPECT_EQ(row.flavour, expected[i].flavour);
    if (expected[i].program != nullptr) {
      ASSERT_FALSE(row.programs.empty());
      EXPECT_EQ(row.programs.back().commandLine, expected[i].program);
    }
    EXPECT_EQ(row.restartRequested, expected[i].restart);
    EXPECT_TRUE(row.cannotFind.empty());
    EXPECT_EQ(row.stopped, "");
    EXPECT_NE(row.machine, "");
    EXPECT_GT(row.counts.files, 0u);
    // A row counts as the run's own report does.
    ASSERT_NE(row.report, nullptr);
    EXPECT_EQ(row.counts, lab::CountChanges(*row.report));
  }
  // The VxD staging removes the earlier driver the Windows 98 machine carries.
  EXPECT_GT(rows[1].counts.registryKeys, rows[0].counts.registryKeys);

  const std::string table = lab::MatrixText(rows);
  const std::vector<std::string> lines = sim::Split(table, '\n');
  ASSERT_EQ(lines.size(), rows.size() + 2);  // a heading, a line a row, the final line end
  EXPECT_EQ(lines[0].rfind("Windows  route", 0), 0u) << table;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(lines[i + 1].rfind(rows[i].windows + " ", 0), 0u) << table;
    EXPECT_NE(lines[i + 1].find(rows[i].route), std::string::npos) << table;
  }
  // The route column lines up.
  const std::size_t column = lines[0].find("route");
  for (std::size_t i = 1; i <= rows.size(); ++i) {
    EXPECT_EQ(lines[i].find("InstallDriver"), column) << table;
  }
}

TEST(Matrix, CommandsAndOptionVariantsGetARowEach) {
  lab::MatrixSetup setup;
  setup.windows = {"98SE", "XP"};
  setup.commands = {lab::MainCommand::Driver, lab::MainCommand::Applications,
                    lab::MainCommand::Combined, lab::MainCommand::Exit};
  setup.variants.push_back(
      lab::OptionVariant{"vxd", "", {"Windows98SEDriverAskUser=0", "Windows98SEDriver=0"}});
  const std::vector<lab::MatrixRow> rows = SampleMatrix(setup);
  ASSERT_EQ(rows.size(), 2u * 4u * 2u);
  auto row = [&](const std::string& windows, const std::string& command,
                 const std::string& variant) -> const lab::MatrixRow& {
    for (const lab::MatrixRow& each : rows) {
      if (each.windows == windows && each.command == command && each.variant == variant) {
        return each;
      }
    }
    ADD_FAILURE() << windows << " " << command << " " << variant;
    return rows.front();
  };
  EXPECT_EQ(row("98SE", "driver", "vxd").flavour, "VxD");
  EXPECT_EQ(row("98SE", "both", "disc").route,
            "CombinedInstall > StageWdmDriver (setup at next start) > InstallApplications");
  EXPECT_EQ(row("98SE", "apps", "disc").route, "InstallApplications");
  EXPECT_EQ(row("XP", "apps", "disc").programs.back().commandLine, "D:\\Win_ME\\app\\Setup.exe");
  EXPECT_EQ(row("XP", "exit", "vxd").route, "main window");
  EXPECT_EQ(row("XP", "exit", "vxd").flavour, "");

  const std::string table = lab::MatrixText(rows);
  EXPECT_EQ(table.rfind("Windows  command  options  route", 0), 0u) << table;

  const nlohmann::json json = nlohmann::json::parse(lab::MatrixJson("disc", rows).dump());
  EXPECT_EQ(json["kind"], "matrix");
  const nlohmann::json& list = json["rows"];
  ASSERT_EQ(list.size(), rows.size());
  EXPECT_EQ(list[0]["windows"], "98SE");
  EXPECT_EQ(list[0]["command"], "driver");
  EXPECT_EQ(list[0]["options"], "disc");
  EXPECT_EQ(list[0]["driver"], "WDM");
  EXPECT_EQ(list[0]["restart"]["requested"], false);
  EXPECT_EQ(list[0]["machine"], nullptr);
  EXPECT_EQ(list[0]["programs"][0]["commandLine"],
            "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER");
  EXPECT_EQ(list[0]["counts"]["files"], rows[0].counts.files);
  EXPECT_TRUE(list[0]["cannotFind"].is_array());
}

TEST(Matrix, CanNotFindMessagesAndNoChipShowInTheirRows) {
  labtest::TempFolder temp;
  const auto disc = temp.path() / "disc";
  std::filesystem::copy(kExamples / "disc", disc, std::filesystem::copy_options::recursive);
  std::filesystem::remove(disc / "MESetup.dat");
  std::filesystem::remove(disc / "orvainfo.sys");
  lab::MatrixSetup setup;
  setup.disc = disc.string();
  setup.windows = {"ME", "XP"};
  std::string error;
  std::vector<lab::MatrixRow> rows =
      lab::RunMatrix(setup, labtest::ProductCommands(), nullptr, error);
  ASSERT_EQ(rows.size(), 2u) << error;
  ASSERT_EQ(rows[0].cannotFind.size(), 1u);
  EXPECT_EQ(rows[0].cannotFind[0], "Can not find the setup program for Windows 98 SE and ME.");
  EXPECT_EQ(rows[1].route, "no chip");
  const lab::MatrixProblems problems = lab::CountProblems(rows);
  EXPECT_EQ(problems.cannotFind, 1u);
  EXPECT_EQ(problems.stopped + problems.missingPrograms, 0u);
  EXPECT_NE(lab::MatrixText(rows).find("Can not find the setup program"), std::string::npos);
}

// Fresh machines carry what every Windows of their version has: the tray program the VxD
// staging starts, and on 98 SE the system files it copies into the staging folder.
TEST(Matrix, FreshMachinesCarryWhatEveryWindowsHas) {
  lab::MatrixSetup setup;
  setup.variants = {lab::OptionVariant{
      "vxd", "", {"Windows98SEDriverAskUser=0", "Windows98SEDriver=0", "WindowsMEDriver=0"}}};
  const std::vector<lab::MatrixRow> rows = SampleMatrix(setup);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_FALSE(lab::CountProblems(rows).Any());
  for (const lab::MatrixRow& row : rows) {
    SCOPED_TRACE(row.windows);
    if (row.flavour == "VxD") {
      ASSERT_FALSE(row.programs.empty());
      EXPECT_EQ(row.programs[0].commandLine, "SysTray.exe");
      EXPECT_EQ(row.programs[0].failure, "");
    }
  }
  bool staged = false;
  for (const lab::FileChange& file : rows[2].report->files) {
    staged = staged || file.path == "C:\\Program Files\\Orvanta\\WIN_9x\\ksproxy.ax";
  }
  EXPECT_TRUE(staged) << "Windows 98 SE's ksproxy.ax is not staged";
}

// What each row should do, written and held against a later matrix: alike gives no difference;
// each change of what a row does is named with the row and the key.
TEST(Matrix, ExpectFilesNameEveryDifference) {
  lab::MatrixSetup setup;
  setup.windows = {"ME", "XP"};
  const std::vector<lab::MatrixRow> rows = SampleMatrix(setup);
  labtest::TempFolder temp;
  const auto file = temp.path() / "expect.json";
  nlohmann::ordered_json written = lab::ExpectJson("disc", rows);
  EXPECT_FALSE(written["rows"][0].contains("machine"));
  labtest::WriteText(file, written.dump());
  std::string error;
  std::optional<nlohmann::ordered_json> expected = lab::ReadExpectFile(file.string(), error);
  ASSERT_TRUE(expected) << error;
  EXPECT_TRUE(lab::CompareWithExpected(*expected, rows).empty());

  (*expected)["rows"][0]["route"] = "InstallDriver > StageVxdDriver";
  (*expected)["rows"][1]["counts"]["files"] = 99;
  (*expected)["rows"][1].erase("programs");  // a key left out is not compared
  nlohmann::ordered_json extra = (*expected)["rows"][1];
  extra["command"] = "apps";
  (*expected)["rows"].push_back(extra);
  const std::vector<lab::ExpectDifference> differences = lab::CompareWithExpected(*expected, rows);
  ASSERT_EQ(differences.size(), 3u);
  EXPECT_EQ(differences[0].row, "ME driver disc");
  EXPECT_EQ(differences[0].what, "route");
  EXPECT_EQ(differences[0].expected, "InstallDriver > StageVxdDriver");
  EXPECT_EQ(differences[0].actual, "InstallDriver");
  EXPECT_EQ(differences[1].row, "XP driver disc");
  EXPECT_EQ(differences[1].what, "counts.files");
  EXPECT_EQ(differences[1].expected, "99");
  EXPECT_EQ(differences[2].row, "XP apps disc");
  EXPECT_EQ(differences[2].actual, "not run");
  const std::string text = lab::ExpectText("expect.json", *expected, "other", differences);
  EXPECT_NE(text.find("3 differences"), std::string::npos) << text;
  EXPECT_NE(text.find("written for the disc disc"), std::string::npos) << text;

  // What is no expect file is refused with its name.
  const std::pair<const char*, const char*> bad[] = {
      {"not json", "is no JSON"},
      {R"({"schemaVersion": 2, "kind": "matrix", "rows": []})", "is no expect file"},
      {R"({"schemaVersion": 7, "kind": "expect", "rows": []})", "is of schema version 7"},
      {R"({"schemaVersion": 2, "kind": "expect", "rows": [{"windows": "XP"}]})",
       "a row without its \"command\""},
  };
  for (const auto& [content, message] : bad) {
    labtest::WriteText(file, content);
    EXPECT_FALSE(lab::ReadExpectFile(file.string(), error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  EXPECT_FALSE(lab::ReadExpectFile(temp.path().string(), error));
  EXPECT_NE(error.find("is a folder"), std::string::npos) << error;
}

TEST(Matrix, ABadSetupIsNamed) {
  lab::MatrixSetup setup;
  setup.windows = {"98", "Vista"};
  setup.disc = (kExamples / "disc").string();
  std::string error;
  EXPECT_TRUE(lab::RunMatrix(setup, labtest::ProductCommands(), nullptr, error).empty());
  EXPECT_NE(error.find("\"Vista\" is not one of"), std::string::npos) << error;
  setup.windows = {"98"};
  setup.variants = {lab::OptionVariant{"typo", "", {"WindowsMeDrivr=1"}}};
  EXPECT_TRUE(lab::RunMatrix(setup, labtest::ProductCommands(), nullptr, error).empty());
  EXPECT_NE(error.find("reads no key \"WindowsMeDrivr\""), std::string::npos) << error;
}

}  // namespace
