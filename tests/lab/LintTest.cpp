// lint on copies of the sample disc, each with one fault planted: the fault is found, named by
// its file, with the routes it breaks; the sample disc and init's skeleton are clean.
#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>

#include "platform/sim/Text.h"
#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/DiscSkeleton.h"
#include "tools/setup-sim/Lint.h"
#include "tools/setup-sim/OptionFileText.h"

namespace {

namespace fs = std::filesystem;
using labtest::kExamples;

class LintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disc_ = temp_.path() / "disc";
    fs::copy(kExamples / "disc", disc_, fs::copy_options::recursive);
  }

  std::vector<lab::Finding> Lint() {
    std::string error;
    std::optional<std::vector<lab::Finding>> findings = lab::LintDisc(disc_.string(), error);
    EXPECT_TRUE(findings) << error;
    return findings.value_or(std::vector<lab::Finding>{});
  }

  // The one finding of a check about a file (the end of its path), with a route naming `route`.
  void ExpectFinding(const std::string& check, const std::string& file, const std::string& route) {
    std::vector<lab::Finding> findings = Lint();
    std::string all = lab::LintText(disc_.string(), findings);
    int matches = 0;
    for (const lab::Finding& finding : findings) {
      if (finding.check != check || finding.file.size() < file.size() ||
          finding.file.compare(finding.file.size() - file.size(), file.size(), file) != 0) {
        continue;
      }
      ++matches;
      bool routeNamed = false;
      for (const std::string& each : finding.routes) {
        routeNamed = routeNamed || each.find(route) != std::string::npos;
      }
      EXPECT_TRUE(routeNamed) << "no route with \"" << route << "\" in\n" << all;
    }
    EXPECT_EQ(matches, 1) << check << " on " << file << " in\n" << all;
  }

  fs::path Path(const std::string& relative) const { return disc_ / relative; }

  // Replaces the first `from` in a disc file with `to`.
  void Edit(const std::string& relative, const std::string& from, const std::string& to) {
    std::string text = labtest::ReadText(Path(relative));
    std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from << " not in " << relative;
    text.replace(at, from.size(), to);
    labtest::WriteText(Path(relative), text);
  }

  labtest::TempFolder temp_;
  fs::path disc_;
};

TEST_F(LintTest, TheSampleDiscIsClean) {
  std::vector<lab::Finding> findings = Lint();
  EXPECT_TRUE(findings.empty()) << lab::LintText(disc_.string(), findings);
  const nlohmann::json json = nlohmann::json::parse(lab::LintJson(disc_.string(), findings).dump());
  EXPECT_EQ(json["clean"], true);
  EXPECT_TRUE(json["findings"].empty());
}

TEST_F(LintTest, MissingDriverSetupPrograms) {
  fs::remove(Path("W2KSetup.dat"));
  ExpectFinding("driver-setup-program", "W2KSetup.dat", "Windows 2000, XP: Install Device Driver");
  fs::remove(Path("MESetup.dat"));
  ExpectFinding("driver-setup-program", "MESetup.dat", "/SPEAKER");
  // The disc asks on 98 SE and installs WDM on ME: both need MESetup.dat.
  ExpectFinding("driver-setup-program", "MESetup.dat", "Windows 98 SE, ME: Install Device Driver");
}

TEST_F(LintTest, MissingDetectionDriverAndLauncher) {
  fs::remove(Path("orvainfo.sys"));
  ExpectFinding("detection-driver", "orvainfo.sys", "Windows NT 4.0, 2000, XP");
  fs::remove(Path("SETUP.EXE"));
  ExpectFinding("launcher", "SETUP.EXE", "every Windows version");
}

TEST_F(LintTest, ApplicationSetupsPerClass) {
  fs::remove_all(Path("W95-98/app"));
  fs::remove_all(Path("Win_ME/app"));
  fs::remove_all(Path("Applications"));
  // The disc asks on 98 SE: it may take either class there.
  ExpectFinding("application-setup", "Win_9x\\app\\Setup.exe", "Windows 95, 98, 98 SE");
  ExpectFinding("application-setup", "Win_ME\\app\\Setup.exe", "Windows 98 SE, ME, 2000, XP");
  fs::remove_all(Path("NT40/app"));
  ExpectFinding("application-setup", "Win_NT40\\app\\Setup.exe", "Windows NT 4.0");
}

TEST_F(LintTest, VxdDriverFolders) {
  fs::remove(Path("W95-98/drv/98/OV6490.INF"));
  ExpectFinding("inf-missing", "W95-98\\drv\\98", "Windows 98, 98 SE: Install Device Driver (VxD)");
  fs::rename(Path("W95-98/drv/95/OV6490.INF"), Path("W95-98/drv/95/OV6490.Inf"));
  ExpectFinding("inf-name", "OV6490.Inf", "Windows 95");
}

TEST_F(LintTest, VxdSourceDiskEntryAndStrings) {
  Edit("W95-98/drv/95/OV6490.INF", "1=\"ORV6490/Y3DX", "2=\"ORV6490/Y3DX");
  ExpectFinding("source-disks-names", "W95-98\\drv\\95\\OV6490.INF", "Windows 95");
  Edit("W95-98/drv/98/OV6490.INF", "VSX-Legacy.DeviceDesc=\"ORV6490",
       "VSX-Legacy.DeviceDesc=\"Legacy ORV6490");
  ExpectFinding("inf-strings", "W95-98\\drv\\98\\OV6490.INF", "Windows 98");
  fs::remove(Path("W95-98/drv/98/OVSYNTH.DRV"));
  ExpectFinding("inf-source-file", "W95-98\\drv\\98\\OV6490.INF", "Windows 98");
}

TEST_F(LintTest, WdmSourceDiskEntryAndCatalog) {
  Edit("Win_98SE/drv/OVAUDIO.INF", "200=\"Orvanta", "201=\"Orvanta");
  ExpectFinding("source-disks-names", "Win_98SE\\drv\\OVAUDIO.INF", "Windows 98 SE");
  fs::remove(Path("Win_ME/drv/ovaudio.cat"));
  ExpectFinding("catalog", "Win_ME\\drv", "Windows ME, 2000, XP: WDM driver staging");
  Edit("Win_98SE/drv/OVAUDIO.INF", "CatalogFile=ovaudio.cat", "CatalogFile=ov98se.cat");
  ExpectFinding("catalog", "Win_98SE\\drv\\OVAUDIO.INF", "Windows 98 SE");
}

TEST_F(LintTest, JackOptionDigitOffItsColumn) {
  // One more zero moves the digit to the 50th column: the patch would write a zero's place.
  Edit("Win_ME/drv/OVAUDIO.INF", "0x00010001,00000007", "0x00010001,000000007");
  ExpectFinding("jack-column", "Win_ME\\drv\\OVAUDIO.INF", "WebSetup=1");
  Edit("Win_98SE/drv/OVAUDIO.INF", "0x00010001,0x00000001", "0x00010001,1");
  ExpectFinding("jack-column", "Win_98SE\\drv\\OVAUDIO.INF", "WebSetup=1");
}

TEST_F(LintTest, JackOptionLinesWhereTheFirstStageNeedsThem) {
  Edit("setup.ini", "WebSetup=0", "WebSetup=1");
  Edit("setup.ini", "InstallWDMDriver=0", "InstallWDMDriver=1");
  EXPECT_TRUE(Lint().empty()) << lab::LintText(disc_.string(), Lint());
  Edit("Win_ME/drv/OVAUDIO.INF", "[CONFIG1.AddReg]", "[Config1.AddReg]");
  std::vector<lab::Finding> findings = Lint();
  int headers = 0;
  for (const lab::Finding& finding : findings) {
    headers += finding.check == "jack-options" &&
                       finding.problem.find("not written [CONFIG1.AddReg]") != std::string::npos
                   ? 1
                   : 0;
  }
  EXPECT_EQ(headers, 2) << lab::LintText(disc_.string(), findings);  // both keys
}

TEST_F(LintTest, WdmFolderOfTheVersionWithoutItsDrvFolder) {
  fs::rename(Path("Win_98SE/drv"), Path("Win_98SE/driver"));
  ExpectFinding("driver-folder", "Win_98SE\\drv", "Windows 98 SE: WDM driver staging");
}

TEST_F(LintTest, Nt4DriverFiles) {
  fs::remove(Path("NT40/drv/ovpci.sys"));
  ExpectFinding("nt4-driver", "NT40\\drv\\ovpci.sys", "Windows NT 4.0");
}

TEST_F(LintTest, OptionFileValuesOutsideTheirMeaning) {
  Edit("setup.ini", "WebSetup=0", "WebSetup=7");
  ExpectFinding("option-value", "setup.ini", "neither the /AP and /DRIVER switches");
}

TEST_F(LintTest, OptionFileFaults) {
  Edit("setup.ini", "DriverOnly=0", "DriverOnly=yes");
  Edit("setup.ini", "WindowsMEDriver=1", "WindowsMeDrivr=1");
  Edit("setup.ini", "UDAWindows98Driver=0", "UDAWindows98Driver");
  std::vector<lab::Finding> findings = Lint();
  std::string checks;
  for (const lab::Finding& finding : findings) {
    checks += finding.check + " ";
  }
  EXPECT_EQ(checks, "option-syntax option-value option-unknown-key ")
      << lab::LintText(disc_.string(), findings);
  EXPECT_NE(findings[0].problem.find("line 11"), std::string::npos) << findings[0].problem;
  EXPECT_NE(findings[1].problem.find("reads as 0"), std::string::npos) << findings[1].problem;
}

TEST_F(LintTest, AnEmptyOrMissingDisc) {
  labtest::TempFolder other;
  std::string error;
  std::optional<std::vector<lab::Finding>> findings = lab::LintDisc(other.path().string(), error);
  ASSERT_TRUE(findings);
  ASSERT_EQ(findings->size(), 1u);
  EXPECT_EQ((*findings)[0].check, "empty-disc");
  EXPECT_FALSE(lab::LintDisc((other.path() / "absent").string(), error));
  EXPECT_NE(error.find("no such folder"), std::string::npos);
}

TEST_F(LintTest, FindingsAsJson) {
  fs::remove(Path("W2KSetup.dat"));
  const nlohmann::json json = nlohmann::json::parse(lab::LintJson("disc", Lint()).dump());
  EXPECT_EQ(json["clean"], false);
  ASSERT_EQ(json["findings"].size(), 1u);
  EXPECT_EQ(json["findings"][0]["check"], "driver-setup-program");
  EXPECT_EQ(json["findings"][0]["file"], "W2KSetup.dat");
  EXPECT_GE(json["findings"][0]["routes"].size(), 1u);
}

// init's skeleton disc passes lint with the options of every driver flavour and route; it is
// written only into a new or empty folder.
TEST(DiscSkeleton, LintPassesItWithEveryFlavour) {
  labtest::TempFolder temp;
  const std::vector<std::vector<std::string>> options{
      {},
      {"Windows98SEDriver=1", "WindowsMEDriver=0"},
      {"Windows98SEDriverAskUser=1", "WindowsMEDriverAskUser=1"},
      {"WebSetup=1", "InstallWDMDriver=1"},
  };
  int round = 0;
  for (const std::vector<std::string>& changes : options) {
    const fs::path disc = temp.path() / ("disc" + std::to_string(++round));
    std::size_t files = 0;
    std::string error;
    ASSERT_TRUE(lab::WriteDiscSkeleton(disc.string(), files, error)) << error;
    EXPECT_EQ(files, lab::DiscSkeleton().size());
    std::string text = labtest::ReadText(disc / "setup.ini");
    for (const std::string& change : changes) {
      ASSERT_TRUE(lab::ApplyOptionChange(text, change, error)) << error;
    }
    labtest::WriteText(disc / "setup.ini", text);
    std::optional<std::vector<lab::Finding>> findings = lab::LintDisc(disc.string(), error);
    ASSERT_TRUE(findings) << error;
    EXPECT_TRUE(findings->empty()) << lab::LintText(disc.string(), *findings);
  }
  // Not into a folder that holds something, nor over a file; nothing is left beside them.
  std::size_t files = 0;
  std::string error;
  EXPECT_FALSE(lab::WriteDiscSkeleton((temp.path() / "disc1").string(), files, error));
  EXPECT_NE(error.find("is not empty"), std::string::npos) << error;
  EXPECT_FALSE(lab::WriteDiscSkeleton((temp.path() / "disc1/setup.ini").string(), files, error));
  EXPECT_NE(error.find("is a file"), std::string::npos) << error;
  EXPECT_EQ(std::distance(fs::directory_iterator(temp.path()), fs::directory_iterator()), 4);
  fs::create_directory(temp.path() / "empty");
  EXPECT_TRUE(lab::WriteDiscSkeleton((temp.path() / "empty").string(), files, error)) << error;
}

}  // namespace
