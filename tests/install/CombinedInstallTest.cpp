// "Install Device Driver and Applications": the flavour, the driver without the restart offer,
// the deferred WDM setup with the Windows 98 SE cabinets, and the suite last.
#include "apps/ApplicationSuite.h"
#include "install/CombinedInstall.h"
#include "install/StateFile.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

using sim::WindowsVersion;

constexpr const char* kHwid =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID";

// The combined command over the real install-driver command, with the suite recorded.
class CombinedCommands : public Commands {
 public:
  void OnInstallDriver(install::Session& session) override {
    calls.push_back("OnInstallDriver");
    install::SetupCommands::OnInstallDriver(session);
  }
  void OnInstallApplications(install::Session&) override {
    calls.push_back("OnInstallApplications");
  }
};

class Combined : public InstallTest {
 protected:
  explicit Combined(WindowsVersion version)
      : InstallTest(version), combinedSession{machine.Platform(), state, context,
                                              detection,          user,  combined} {
    install::ResetStateFile(machine.Platform(), state.isNT4);
  }
  void Run() { combined.OnCombinedInstall(combinedSession); }
  CombinedCommands combined;
  install::Session combinedSession;
};

class CombinedOn9x : public Combined, public ::testing::WithParamInterface<WindowsVersion> {
 protected:
  CombinedOn9x() : Combined(GetParam()) {}
};

TEST_P(CombinedOn9x, TheVxdDriverWithoutTheOfferThenTheSuite) {
  state.WindowsMEDriverAskUser = state.Windows98SEDriverAskUser = 1;
  Run();
  EXPECT_EQ(combined.calls, (std::vector<std::string>{"OnInstallDriver", "StageVxdDriver",
                                                      "OnInstallApplications"}));
  EXPECT_EQ(state.combinedInstall, 1);
  EXPECT_TRUE(user.ends.empty());
  EXPECT_TRUE(user.asked.empty());
}

INSTANTIATE_TEST_SUITE_P(Windows95And98, CombinedOn9x,
                         ::testing::Values(WindowsVersion::Win95, WindowsVersion::Win98));

class CombinedOnME : public Combined {
 protected:
  CombinedOnME() : Combined(WindowsVersion::WinME) {}
};

TEST_F(CombinedOnME, TheDefaultsDeferTheWdmSetupToTheNextStart) {
  Disc("MESetup.dat", "MZ");
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      std::string("REGEDIT4\r\n\r\n[") + kHwid + "]\r\n\"PCI\\\\VEN_7C5A&DEV_0111\"=hex:01\r\n",
      error));
  Run();
  EXPECT_EQ(machine.Registry().FindValue(kHwid, "PCI\\VEN_7C5A&DEV_0111"), nullptr);
  EXPECT_EQ(combined.calls,
            (std::vector<std::string>{"StageWdmDriver 1 0", "OnInstallApplications"}));
  EXPECT_EQ(state.precopyCabsPresent, 0);
  EXPECT_TRUE(Started().empty());
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_InstallDriver", "Command", "", 260,
                                                  windows + "ORVSETUP.INI"),
            "C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat");
}

TEST_F(CombinedOnME, TheQuestionIsAskedAgainByTheDriverCommand) {
  state.WindowsMEDriverAskUser = 1;
  user.answers = {{win::IDOK, 1}, {win::IDOK, 1}};
  Run();
  EXPECT_EQ(user.asked, (std::vector<int>{0, 1}));  // the second preselects the first answer
  EXPECT_EQ(combined.calls, (std::vector<std::string>{"OnInstallDriver", "StageVxdDriver",
                                                      "OnInstallApplications"}));
}

TEST_F(CombinedOnME, ACancelledQuestionClosesTheMainWindow) {
  state.WindowsMEDriverAskUser = 1;
  user.answers = {{win::IDCANCEL, 0}};
  Run();
  EXPECT_EQ(user.ends, std::vector<std::string>{"closed"});
  EXPECT_TRUE(combined.calls.empty());
  EXPECT_EQ(Journal("ui").back(), "arrow cursor");

  // Cancelled when the driver command asks again: the suite does not follow either.
  user.ends.clear();
  user.answers = {{win::IDOK, 1}, {win::IDCANCEL, 1}};
  Run();
  EXPECT_EQ(user.ends, std::vector<std::string>{"closed"});
  EXPECT_EQ(combined.calls, std::vector<std::string>{"OnInstallDriver"});
  EXPECT_EQ(Journal("ui").back(), "arrow cursor");
}

class CombinedOn98SE : public Combined {
 protected:
  CombinedOn98SE() : Combined(WindowsVersion::Win98SE) {}
  void Cabinets(std::initializer_list<const char*> names) {
    for (const char* name : names) {
      machine.Files().WriteFileDirect(windows + "SYSTEM\\Precopy\\" + name, "cab");
    }
  }
};

TEST_F(CombinedOn98SE, AllSixCabinetsInAnyCaseBringTheDirectXStepFirst) {
  state.Windows98SEDriver = 1;
  Cabinets({"driver11.cab", "DRIVER12.CAB", "Driver14.Cab", "DRIVER15.CAB", "DRIVER17.CAB",
            "DRIVER20.CAB", "DRIVER99.CAB"});
  machine.Files().MakeFoldersDirect(windows + "SYSTEM\\Precopy\\DRIVER11.CAB.d");
  Run();
  EXPECT_EQ(state.precopyCabsPresent, 1);
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_InstallDriver", "InstallAtFirst", "",
                                                  260, windows + "ORVSETUP.INI"),
            "YES");
}

TEST_F(CombinedOn98SE, TheSuiteFollowsTheDriverAnswered) {
  state.Windows98SEDriverAskUser = 1;
  user.answers = {{win::IDOK, 0}};
  Run();
  EXPECT_EQ(combined.calls,
            (std::vector<std::string>{"StageWdmDriver 1 0", "OnInstallApplications"}));
  EXPECT_EQ(apps::SuiteSetupCandidates(state, state).front(), "Win_ME\\app\\Setup.exe");
}

TEST_F(CombinedOn98SE, FiveCabinetsAreNotEnough) {
  state.Windows98SEDriver = 1;
  Cabinets({"DRIVER11.CAB", "DRIVER12.CAB", "DRIVER14.CAB", "DRIVER15.CAB", "DRIVER17.CAB"});
  Run();
  EXPECT_EQ(state.precopyCabsPresent, 0);
}

class CombinedOnNT4 : public Combined {
 protected:
  CombinedOnNT4() : Combined(WindowsVersion::NT4) {}
};

TEST_F(CombinedOnNT4, TheNt4DriverNotesTheRestartThenTheSuite) {
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID]"
      "\r\n\"PCI\\\\VEN_7C5A&DEV_0111\"=hex:01\r\n",
      error));
  Run();
  EXPECT_EQ(combined.calls, (std::vector<std::string>{"OnInstallDriver", "InstallNt4Driver",
                                                      "OnInstallApplications"}));
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_Reboot", "Install", "", 260,
                                                  windows + "ORVSETUP.INI"),
            "YES");
  // No driver-signing clean-up on NT 4.0.
  EXPECT_NE(machine.Registry().FindValue(kHwid, "PCI\\VEN_7C5A&DEV_0111"), nullptr);
}

class CombinedOnXP : public Combined {
 protected:
  CombinedOnXP() : Combined(WindowsVersion::WinXP) {}
};

TEST_F(CombinedOnXP, TheWdmDriverWithoutACabinetCheck) {
  machine.Files().WriteFileDirect(windows + "System\\Precopy\\DRIVER11.CAB", "cab");
  Run();
  EXPECT_EQ(combined.calls,
            (std::vector<std::string>{"StageWdmDriver 1 0", "OnInstallApplications"}));
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_InstallDriver", "Command", "", 260,
                                                  windows + "ORVSETUP.INI"),
            "C:\\PROGRA~1\\Orvanta\\WIN_ME\\W2KSetup.dat");  // NTFS keeps 8.3 names' case
}

}  // namespace
}  // namespace installtest
