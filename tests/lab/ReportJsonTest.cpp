// Runs of the sample disc on the sample machines, reported as JSON and read back: what each
// group says must be what the run did.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/ProfileEntries.h"
#include "tools/setup-sim/ReportJson.h"
#include "tools/setup-sim/ReportText.h"

namespace {

using labtest::kExamples;
using Json = nlohmann::json;

Json RunAsJson(lab::RunSetup setup, bool restart = false) {
  setup.disc = (kExamples / "disc").string();
  std::string error;
  std::optional<lab::RunReport> report =
      lab::RunSetupAndReport(setup, labtest::ProductCommands(), restart, error);
  EXPECT_TRUE(report) << error;
  if (!report) {
    return Json();
  }
  // Through text, as another tool would get it.
  return Json::parse(lab::ReportJson(*report, true).dump());
}

const Json* FindBy(const Json& list, const std::string& field, const std::string& value) {
  for (const Json& item : list) {
    if (item[field] == value) {
      return &item;
    }
  }
  return nullptr;
}

TEST(ReportJson, VxdInstallOnWindows98) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "win98").string();
  setup.dialogs = {"main=click:3", "restart=click:1000,click:1"};
  const Json report = RunAsJson(setup);
  ASSERT_TRUE(report.is_object());
  EXPECT_EQ(report["windows"], "98");
  EXPECT_EQ(report["class"], "isWin98");
  EXPECT_EQ(report["route"], "InstallDriver > StageVxdDriver");
  EXPECT_EQ(report["driver"], "VxD");
  EXPECT_EQ(report["chip"]["vendor"], 0x7C5A);

  ASSERT_EQ(report["dialogs"].size(), 2u);
  EXPECT_EQ(report["dialogs"][0]["template"], 102);
  EXPECT_EQ(report["dialogs"][0]["actions"][0], "click 3 \"Install Device Driver\"");
  EXPECT_EQ(report["dialogs"][1]["template"], 132);
  EXPECT_EQ(report["dialogs"][1]["depth"], 1);
  EXPECT_EQ(report["dialogs"][1]["result"], 1);

  // The earlier driver's registry entries are gone, each tree named once.
  const Json* pci =
      FindBy(report["registry"], "key",
             "HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_01117C5A&REV_01");
  ASSERT_NE(pci, nullptr);
  EXPECT_EQ((*pci)["change"], "deleted");
  EXPECT_NE(report["registryText"].get<std::string>().find(
                "[-HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_7C5A&DEV_0111&SUBSYS_01117C5A&REV_01]"),
            std::string::npos);

  const Json* staged =
      FindBy(report["files"], "path", "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD");
  ASSERT_NE(staged, nullptr);
  EXPECT_EQ((*staged)["change"], "created");
  const Json* oldInf = FindBy(report["files"], "path", "C:\\WINDOWS\\INF\\OTHER\\OVPCI032.INF");
  ASSERT_NE(oldInf, nullptr);
  EXPECT_EQ((*oldInf)["change"], "deleted");

  const Json* rename = FindBy(report["profileEntries"], "kind", "WININIT.INI");
  ASSERT_NE(rename, nullptr);
  EXPECT_EQ((*rename)["section"], "rename");
  EXPECT_EQ((*rename)["key"], "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD");
  EXPECT_EQ((*rename)["before"], nullptr);
  EXPECT_EQ((*rename)["after"], "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
  // The state file's entries as they ended, each once: the main window wrote "YES" to
  // Need_To_Reboot, which the staging then wrote again.
  int reboot = 0;
  for (const Json& entry : report["profileEntries"]) {
    if (entry["section"] == "Need_To_Reboot") {
      ++reboot;
      EXPECT_EQ(entry["after"], "YES");
    }
  }
  EXPECT_EQ(reboot, 1);

  EXPECT_EQ(report["programs"][0]["commandLine"], "SysTray.exe");
  EXPECT_EQ(report["restart"]["requested"], true);
  ASSERT_EQ(report["restart"]["pending"].size(), 1u);
  EXPECT_EQ(report["restart"]["pending"][0]["source"], "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
  EXPECT_EQ(report["restart"]["restarted"], false);
  EXPECT_EQ(report["end"]["how"], "returned");
  EXPECT_EQ(report["waitedMs"], 1500);
  EXPECT_FALSE(report["journal"].empty());

  // Registry values come with their type and their data read as that type.
  const Json* locations =
      FindBy(report["registry"], "key", "HKEY_USERS\\.DEFAULT\\InstallLocationsMRU");
  ASSERT_NE(locations, nullptr);
  const Json* list = FindBy((*locations)["values"], "name", "MRUList");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ((*list)["before"]["type"], "REG_SZ");
  EXPECT_EQ((*list)["before"]["data"], "a");
  EXPECT_EQ((*list)["after"]["data"], "ba");
  EXPECT_EQ((*list)["after"]["hex"], "626100");
  EXPECT_EQ(report["counts"]["registryKeys"], report["registry"].size());
}

TEST(ReportJson, RegistryDataIsTypedAsItsTypeReadsIt) {
  struct Case {
    const char* written;
    const char* type;
    Json data;
  };
  const Case cases[] = {
      {"\"C:\\\\PROGRA~1\\\"x\\\"\"", "REG_SZ", "C:\\PROGRA~1\"x\""},
      {"dword:0000002a", "REG_DWORD", 42},
      {"hex(2):25,41,25,00", "REG_EXPAND_SZ", "%A%"},
      {"hex(7):61,00,62,63,00,00", "REG_MULTI_SZ", Json::array({"a", "bc"})},
      {"hex:01,02", "REG_BINARY", nullptr},
      {"hex(4):01,02", "REG_DWORD", nullptr},  // a DWORD of two bytes reads as no number
      {"hex(1):61,62", "REG_SZ", "ab"},        // a string without its zero
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    const Json json = Json::parse(lab::RegDataJson(c.written).dump());
    EXPECT_EQ(json["type"], c.type);
    EXPECT_EQ(json["data"], c.data);
  }
  EXPECT_EQ(Json::parse(lab::RegDataJson("hex:0a,ff").dump())["hex"], "0aff");
  EXPECT_EQ(lab::PlainValueName("@"), "");
  EXPECT_EQ(lab::PlainValueName("\"a\\\"b\""), "a\"b");
}

// Profile entries as the run left them: a key written twice is one entry with its last value, a
// deleted section stands for each key it held, and a key that ends as it began is no change.
TEST(ProfileEntries, TheEndStateOfEachKeyWithItsValueBefore) {
  sim::SimMachine machine;
  const std::string file = "C:\\WINDOWS\\STATE.INI";
  machine.Files().WriteFileDirect(file, "[keep]\r\nsame=1\r\n[gone]\r\na=1\r\nb=2\r\n");
  const lab::MachineState before = lab::CaptureState(machine);
  platform::Profiles& profiles = machine.Platform().profiles;
  profiles.WriteString("new", "key", "x", file);
  profiles.WriteString("NEW", "KEY", "y", file);
  profiles.WriteString("keep", "same", "2", file);
  profiles.WriteString("keep", "same", "1", file);
  profiles.WriteString("gone", std::nullopt, std::nullopt, file);
  const std::vector<lab::ProfileEntry> entries =
      lab::ProfileEndState(lab::ReadJournal(machine.Journal()).profileWrites, before, machine);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, "key");
  EXPECT_EQ(entries[0].before, std::nullopt);
  EXPECT_EQ(entries[0].after, "y");
  EXPECT_EQ(entries[1].section, "gone");
  EXPECT_EQ(entries[1].key, "a");
  EXPECT_EQ(entries[1].before, "1");
  EXPECT_EQ(entries[1].after, std::nullopt);
  EXPECT_EQ(entries[2].key, "b");
}

TEST(ReportJson, TheRestartCarriesOutThePendingRenames) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "win98").string();
  setup.dialogs = {"main=click:3", "restart=click:1000,click:1"};
  const Json report = RunAsJson(setup, true);
  EXPECT_EQ(report["restart"]["restarted"], true);
  EXPECT_EQ(report["restart"]["actions"][0],
            "renamed C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD -> C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD");
  const Json* renamed = FindBy(report["files"], "path", "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD");
  ASSERT_NE(renamed, nullptr);
  EXPECT_EQ((*renamed)["change"], "created");
}

TEST(ReportJson, APowerLossEndsTheRunAtItsCall) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "win98").string();
  setup.dialogs = {"main=click:3", "restart=click:1000,click:1"};
  setup.power.offAt = 142;
  const Json report = RunAsJson(setup, true);
  EXPECT_EQ(report["end"]["how"], "power-lost");
  EXPECT_EQ(report["power"]["calls"], 142);
  EXPECT_EQ(report["power"]["lost"].get<std::string>().rfind("power lost at call 142, ", 0), 0u);
  EXPECT_EQ(report["restart"]["restarted"], true);  // the power came back for the start
  EXPECT_EQ(FindBy(report["files"], "path", "C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD"),
            nullptr);
}

TEST(ReportJson, WdmOnWindowsMeStartsTheDiscsSetupAndExits) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "winme").string();
  setup.dialogs = {"102=click:3"};
  const Json report = RunAsJson(setup);
  EXPECT_EQ(report["driver"], "WDM");
  EXPECT_EQ(report["end"]["how"], "exited");
  EXPECT_EQ(report["end"]["exitCode"], 0);
  ASSERT_EQ(report["programs"].size(), 1u);
  EXPECT_EQ(report["programs"][0]["how"], "WinExec");
  EXPECT_EQ(report["programs"][0]["commandLine"], "D:\\MESetup.dat /DRIVER");
  EXPECT_EQ(report["programs"][0]["program"], "D:\\MESetup.dat");
}

TEST(ReportJson, AMissingSetupProgramIsAMessageBox) {
  labtest::TempFolder temp;
  const auto disc = temp.path() / "disc";
  std::filesystem::copy(kExamples / "disc", disc, std::filesystem::copy_options::recursive);
  std::filesystem::remove(disc / "W2KSetup.dat");
  lab::RunSetup setup;
  setup.windows = "XP";
  setup.disc = disc.string();
  setup.dialogs = {"main=click:3"};
  std::string error;
  std::optional<lab::RunReport> report =
      lab::RunSetupAndReport(setup, labtest::ProductCommands(), false, error);
  ASSERT_TRUE(report) << error;
  const Json json = Json::parse(lab::ReportJson(*report, false).dump());
  ASSERT_EQ(json["messageBoxes"].size(), 1u);
  EXPECT_EQ(json["messageBoxes"][0]["caption"], "Setup");
  EXPECT_EQ(json["messageBoxes"][0]["text"],
            "Can not find the setup program for Windows 2000 and XP.");
  EXPECT_TRUE(json["programs"].empty());
  EXPECT_EQ(json["journal"], nullptr);
  EXPECT_EQ(json["machine"], nullptr);
}

TEST(ReportJson, AnUnansweredDialogStopsTheRun) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "win98se").string();
  const Json report = RunAsJson(setup);
  EXPECT_EQ(report["end"]["how"], "stopped");
  EXPECT_EQ(report["end"]["stopped"],
            "dialog 102 \"Setup\" is shown with no action left in its script");
  ASSERT_EQ(report["dialogs"].size(), 1u);
  EXPECT_EQ(report["dialogs"][0]["result"], nullptr);
  // The dialog still shown has the caption it shows.
  EXPECT_EQ(report["dialogs"][0]["caption"], "Setup");
}

TEST(ReportText, GroupsTheRunByKind) {
  lab::RunSetup setup;
  setup.machineFolder = (kExamples / "machines" / "win98").string();
  setup.disc = (kExamples / "disc").string();
  setup.dialogs = {"main=click:3", "restart=click:1000,click:1"};
  std::string error;
  std::optional<lab::RunReport> report =
      lab::RunSetupAndReport(setup, labtest::ProductCommands(), false, error);
  ASSERT_TRUE(report) << error;
  const std::string text = lab::ReportText(*report);
  std::size_t at = 0;
  for (const char* heading :
       {"\nDialogs\n", "\nMessage boxes\n", "\nRegistry changes (", "\nFiles (",
        "\nProfile-file entries changed (as the run left them)\n", "\nPrograms started\n",
        "\nRestart\n", "\nEnd\n"}) {
    std::size_t found = text.find(heading, at);
    ASSERT_NE(found, std::string::npos) << heading << " missing or out of order in\n" << text;
    at = found;
  }
}

}  // namespace
