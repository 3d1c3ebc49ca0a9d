// "Install Device Driver": one scenario per row of the flavour decisions, with what each ends in,
// and the clean-up of the driver-signing exceptions.
#include "install/InstallDriverCommand.h"
#include "install/StateFile.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

using sim::WindowsVersion;

class InstallDriver : public InstallTest {
 protected:
  explicit InstallDriver(WindowsVersion version) : InstallTest(version) {
    Disc("MESetup.dat", "MZ");
    Disc("W2KSetup.dat", "MZ");
  }
  bool Run() {
    return Ends([this] { install::OnInstallDriver(session); });
  }
};

class OnWindows95 : public InstallDriver {
 protected:
  OnWindows95() : InstallDriver(WindowsVersion::Win95) {}
};

TEST_F(OnWindows95, AlwaysTheVxdDriverWithoutAQuestion) {
  state.WindowsMEDriverAskUser = state.Windows98SEDriverAskUser = 1;
  state.WindowsMEDriver = state.Windows98SEDriver = 1;
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});
  EXPECT_EQ(user.ends, (std::vector<std::string>{"restart offered", "ended 1"}));
  EXPECT_TRUE(user.asked.empty());
  EXPECT_EQ(Journal("ui"), (std::vector<std::string>{"wait cursor", "arrow cursor"}));

  // Within the combined command: no offer, the main window stays.
  user.ends.clear();
  state.combinedInstall = 1;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(user.ends.empty());
}

class OnWindows98 : public InstallDriver {
 protected:
  OnWindows98() : InstallDriver(WindowsVersion::Win98) {}
};

TEST_F(OnWindows98, TheVxdDriverUnlessTheCodecAsksForWdm) {
  state.UDAWindows98Driver = 1;  // without udaMode it does not count
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});
  EXPECT_EQ(state.useVxdDriver, 1);
  // Nor does udaMode without the option.
  detection.udaMode = 1;
  state.UDAWindows98Driver = 0;
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"StageVxdDriver", "StageVxdDriver"}));
}

TEST_F(OnWindows98, TheCodecOnWindows98StagesAndStartsTheStagedProgram) {
  detection.udaMode = 1;
  state.UDAWindows98Driver = 1;
  EXPECT_TRUE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageWdmDriver 0 0"});
  EXPECT_EQ(Started(),
            std::vector<std::string>{"C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER"});
  EXPECT_TRUE(user.ends.empty());
  EXPECT_EQ(Journal("process").back(), "exit with code 0");
}

class OnWindows98SE : public InstallDriver {
 protected:
  OnWindows98SE() : InstallDriver(WindowsVersion::Win98SE) {}
};

TEST_F(OnWindows98SE, TheOptionChoosesTheFlavour) {
  EXPECT_FALSE(Run());  // Windows98SEDriver 0: the VxD driver
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});

  commands.calls.clear();
  state.Windows98SEDriver = 1;
  EXPECT_TRUE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageWdmDriver 0 0"});
  EXPECT_EQ(Started(),
            std::vector<std::string>{"C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER"});
}

TEST_F(OnWindows98SE, TheQuestionIsPresetAndAnswered) {
  state.Windows98SEDriverAskUser = 1;
  state.useVxdDriver = 1;
  user.answers = {{win::IDOK, 1}};
  EXPECT_FALSE(Run());
  EXPECT_EQ(user.asked, std::vector<int>{1});
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});

  // Asked again in the same run, with the last answer preselected; WDM this time.
  user.answers = {{win::IDOK, 0}};
  EXPECT_TRUE(Run());
  EXPECT_EQ(user.asked, (std::vector<int>{1, 1}));
  EXPECT_EQ(state.useVxdDriver, 0);
  EXPECT_EQ(Started().size(), 1u);
}

TEST_F(OnWindows98SE, ACancelledQuestionClosesTheMainWindowAndInstallsNothing) {
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID]\r\n"
      "\"PCI\\\\VEN_7C5A&DEV_0111\"=hex:01\r\n",
      error))
      << error;
  state.Windows98SEDriverAskUser = 1;
  user.answers = {{win::IDCANCEL, 0}};
  const std::string stateFileBefore = StateFile();
  EXPECT_FALSE(Run());
  EXPECT_EQ(user.ends, std::vector<std::string>{"closed"});
  EXPECT_TRUE(commands.calls.empty());
  EXPECT_TRUE(Started().empty());
  EXPECT_EQ(StateFile(), stateFileBefore);
  EXPECT_EQ(Journal("ui").back(), "arrow cursor");
  // The clean-up came before the question.
  EXPECT_EQ(machine.Registry().FindValue(
                "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID",
                "PCI\\VEN_7C5A&DEV_0111"),
            nullptr);
}

TEST_F(OnWindows98SE, TheCodecVariantTakesTheWdmDriverWithoutAsking) {
  // Start-up forced these for the codec.
  detection.udaMode = 1;
  state.Windows98SEDriver = state.WindowsMEDriver = 1;
  EXPECT_TRUE(Run());
  EXPECT_TRUE(user.asked.empty());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageWdmDriver 0 0"});
}

TEST_F(OnWindows98SE, DriverSigningEntriesOfTheMakerGoEvenSideBySide) {
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID]\r\n"
      "\"PCI\\\\VEN_1106&DEV_3059\"=hex:01\r\n"
      "\"PCI\\\\VEN_7C5A&DEV_0111\"=hex:01\r\n"
      "\"PCI\\\\VEN_7C5A&DEV_0111&SUBSYS_01117C5A\"=hex:01\r\n"
      "\"pci\\\\ven_7c5a&dev_0112\"=hex:01\r\n"
      "\"USB\\\\PCI\\\\VEN_7C5A\"=hex:01\r\n",
      error))
      << error;
  EXPECT_FALSE(Run());
  const sim::RegNode* key = machine.Registry().FindKey(
      "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Driver Signing\\Classes\\HWID");
  ASSERT_NE(key, nullptr);
  std::vector<std::string> left;
  for (const sim::RegValue& value : key->values) {
    left.push_back(value.name);
  }
  // The test is case-sensitive and a substring anywhere in the name.
  EXPECT_EQ(left, (std::vector<std::string>{"PCI\\VEN_1106&DEV_3059", "pci\\ven_7c5a&dev_0112"}));
}

class OnWindowsME : public InstallDriver {
 protected:
  OnWindowsME() : InstallDriver(WindowsVersion::WinME) {}
};

TEST_F(OnWindowsME, TheWdmDriverFromTheDiscWithoutStaging) {
  state.commandLine = "/DRIVER";
  EXPECT_TRUE(Run());
  EXPECT_TRUE(commands.calls.empty());
  EXPECT_EQ(Started(), std::vector<std::string>{"D:\\MESetup.dat /DRIVER"});  // the switch once
  EXPECT_FALSE(Exists("C:\\Program Files\\Orvanta\\WIN_ME"));
}

TEST_F(OnWindowsME, TheVxdDriverByOptionOrAnswer) {
  state.WindowsMEDriver = 0;
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});

  state.WindowsMEDriverAskUser = 1;
  user.answers = {{win::IDOK, 0}};
  EXPECT_TRUE(Run());
  EXPECT_EQ(user.asked, std::vector<int>{1});
  EXPECT_EQ(Started(), std::vector<std::string>{"D:\\MESetup.dat /DRIVER"});
}

TEST_F(OnWindowsME, AMissingProgramIsReportedAndTheProgramEnds) {
  machine.Files().RemoveDirect("D:\\MESetup.dat");
  EXPECT_TRUE(Run());
  EXPECT_TRUE(Started().empty());
  EXPECT_EQ(Journal("ui").back(),
            "message box \"Setup\": \"Can not find the setup program for Windows 98 SE and ME.\" "
            "-> OK");
}

class OnWindowsNT5 : public InstallDriver, public ::testing::WithParamInterface<WindowsVersion> {
 protected:
  OnWindowsNT5() : InstallDriver(GetParam()) {}
};

TEST_P(OnWindowsNT5, TheDiscsProgramOrTheVxdDriverTheWebRouteChose) {
  EXPECT_TRUE(Run());
  EXPECT_EQ(Started(), std::vector<std::string>{"D:\\W2KSetup.dat /DRIVER"});
  EXPECT_TRUE(commands.calls.empty());

  state.useVxdDriver = 1;
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"StageVxdDriver"});
}

TEST_P(OnWindowsNT5, AMissingProgramNamesWindows2000AndXP) {
  machine.Files().RemoveDirect("D:\\W2KSetup.dat");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Journal("ui").back(),
            "message box \"Setup\": \"Can not find the setup program for Windows 2000 and XP.\" "
            "-> OK");
}

INSTANTIATE_TEST_SUITE_P(Both, OnWindowsNT5,
                         ::testing::Values(WindowsVersion::Win2000, WindowsVersion::WinXP));

class OnWindowsNT4 : public InstallDriver {
 protected:
  OnWindowsNT4() : InstallDriver(WindowsVersion::NT4) {}
};

TEST_F(OnWindowsNT4, TheNt4DriverThenTheRestartOfferOrTheStateFile) {
  install::ResetStateFile(machine.Platform(), 1);
  EXPECT_FALSE(Run());
  EXPECT_EQ(commands.calls, std::vector<std::string>{"InstallNt4Driver"});
  EXPECT_EQ(user.ends, (std::vector<std::string>{"restart offered", "ended 1"}));
  EXPECT_TRUE(Journal("ui").empty());  // no wait cursor, no clean-up on NT 4.0
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_Reboot", "Install", "", 260,
                                                  windows + "ORVSETUP.INI"),
            "NO");

  user.ends.clear();
  state.combinedInstall = 1;
  EXPECT_FALSE(Run());
  EXPECT_TRUE(user.ends.empty());
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_Reboot", "Install", "", 260,
                                                  windows + "ORVSETUP.INI"),
            "YES");
}

}  // namespace
}  // namespace installtest
