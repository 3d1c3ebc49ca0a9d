// The matrix of the sample disc on the sample machines: one row per Windows version, with the
// route, flavour, programs and restart each version's setup takes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/sim/Text.h"
#include "tests/lab/LabTestSupport.h"
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
