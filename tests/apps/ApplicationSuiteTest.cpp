// The application suite installer: which of the suite's windows close, the earlier suite's
// uninstaller waited for, and which setup program of the disc starts on each system.
#include "apps/ApplicationSuite.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

using sim::WindowsVersion;

constexpr const char* kUninstallKey =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex "
    "Applications";
constexpr const char* kUninstallKeyNT =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex WinNT "
    "Applications";

class Suite : public InstallTest {
 protected:
  explicit Suite(WindowsVersion version = WindowsVersion::Win2000) : InstallTest(version) {}
  bool Run() {
    return Ends([this] {
      apps::OnInstallApplications(machine.Platform(), state, state, state.sourceDir,
                                  ScriptedUser::kMainWindow);
    });
  }
  std::vector<std::string> Closed() {
    std::vector<std::string> closed;
    for (const std::string& line : Journal("window")) {
      closed.push_back(line);
    }
    return closed;
  }
};

TEST_F(Suite, AudioShelfAloneIsClosedWhenItRuns) {
  machine.Processes().AddRunningWindow("AudioShelf", "C:\\Suite\\AudioShelf.exe");
  machine.Processes().AddRunningWindow("CD Player", "C:\\Suite\\CdPlayer.exe");
  Disc("Win_ME\\app\\Setup.exe", "MZ");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Closed(), std::vector<std::string>{"WM_CLOSE to \"AudioShelf\""});
  EXPECT_EQ(Journal("wait"), (std::vector<std::string>{"500 ms", "500 ms"}));
  EXPECT_EQ(Started().back(), "D:\\Win_ME\\app\\Setup.exe");  // after the suite's own programs
  EXPECT_EQ(Journal("process").back(), "exit with code 0");
}

TEST_F(Suite, WithoutAudioShelfThePlayersAreClosed) {
  machine.Processes().AddRunningWindow("MIDI Player", "C:\\Suite\\Midi.exe");
  machine.Processes().AddRunningWindow("MP3 Player", "C:\\Suite\\Mp3.exe");
  machine.Processes().AddRunningWindow("Mixer", "C:\\Suite\\Mixer.exe");  // only on NT 4.0
  EXPECT_TRUE(Run());
  EXPECT_EQ(Closed(), (std::vector<std::string>{"WM_CLOSE to \"MIDI Player\"",
                                                "WM_CLOSE to \"MP3 Player\""}));
  EXPECT_EQ(Journal("wait"), std::vector<std::string>{"500 ms"});
}

TEST_F(Suite, AnEarlierSuiteIsUninstalledFirstAndWaitedFor) {
  machine.Files().WriteFileDirect("C:\\WINNT\\IsUninst.exe", "MZ");
  sim::ProgramBehaviour uninstaller;
  uninstaller.runsForMs = 3500;
  uninstaller.exitCode = win::STILL_ACTIVE;  // ended all the same
  machine.Processes().DefineProgram("C:\\WINNT\\IsUninst.exe", uninstaller);
  std::string error;
  // The suite registered by its NT setup, under the second of the two keys.
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKeyNT) +
                                            "]\r\n\"UninstallString\"=\"C:\\\\WINNT\\\\IsUninst."
                                            "exe -f\\\"C:\\\\Suite\\\\x.isu\\\"\"\r\n",
                                        error))
      << error;
  Disc("XP-2K-ME\\app\\Setup.exe", "MZ");
  EXPECT_TRUE(Run());
  ASSERT_EQ(machine.Processes().Started().size(), 2u);
  EXPECT_EQ(Started()[0], "C:\\WINNT\\IsUninst.exe -f\"C:\\Suite\\x.isu\" -a");
  EXPECT_EQ(Started()[1], "D:\\XP-2K-ME\\app\\Setup.exe");
  // The new setup starts only once the uninstaller has ended.
  const auto& processes = machine.Processes().Started();
  EXPECT_EQ(processes[0].startMs, 500u);  // after the suite's windows were closed
  ASSERT_TRUE(processes[0].endMs.has_value());
  EXPECT_GE(processes[1].startMs, *processes[0].endMs);
}

TEST_F(Suite, TheWaitHasNoLimitAndOverlongOrOddStringsAreNotStarted) {
  // An uninstaller that runs for a day is waited for, a second at a time.
  machine.Files().WriteFileDirect("C:\\slow.exe", "MZ");
  sim::ProgramBehaviour slow;
  slow.runsForMs = 24ull * 3600 * 1000;
  machine.Processes().DefineProgram("C:\\slow.exe", slow);
  std::string error;
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) +
                                            "]\r\n\"UninstallString\"=\"C:\\\\slow.exe\"\r\n",
                                        error));
  Disc("Applications\\Setup.exe", "MZ");
  EXPECT_TRUE(Run());
  EXPECT_GE(machine.Processes().Started().back().startMs, slow.runsForMs);

  // 257 characters and " -a" do not fit the command: nothing is started for it.
  machine.Files().WriteFileDirect("C:\\a.exe", "MZ");
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) +
                                            "]\r\n\"UninstallString\"=\"C:\\\\a.exe" +
                                            std::string(257 - 9, ' ') + "x\"\r\n",
                                        error));
  const std::size_t before = machine.Processes().Started().size();
  EXPECT_TRUE(Run());
  ASSERT_EQ(machine.Processes().Started().size(), before + 1);
  EXPECT_EQ(Started().back(), "D:\\Applications\\Setup.exe");
  // 256 characters and " -a" fit.
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) +
                                            "]\r\n\"UninstallString\"=\"C:\\\\a.exe" +
                                            std::string(256 - 9, ' ') + "x\"\r\n",
                                        error));
  EXPECT_TRUE(Run());
  EXPECT_EQ(machine.Processes().Started()[before + 1].commandLine.size(), 256u + 3);

  // An empty string or one of another type: a start that fails, and the setup goes on.
  ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) +
                                            "]\r\n\"UninstallString\"=dword:00000041\r\n",
                                        error));
  EXPECT_TRUE(Run());
  EXPECT_EQ(Started().back(), "D:\\Applications\\Setup.exe");
}

TEST_F(Suite, TheInstallShieldStringComesFirst) {
  machine.Files().WriteFileDirect("C:\\a.exe", "MZ");
  machine.Files().WriteFileDirect("C:\\b.exe", "MZ");
  std::string error;
  ASSERT_TRUE(
      machine.Registry().Import("REGEDIT4\r\n\r\n[" + std::string(kUninstallKey) +
                                    "]\r\n\"UninstallString\"=\"C:\\\\a."
                                    "exe\"\r\n\"InstallShieldUninstallString\"=\"C:\\\\b.exe\"\r\n",
                                error));
  EXPECT_TRUE(Run());
  EXPECT_EQ(Started().front(), "C:\\b.exe -a");
  EXPECT_EQ(machine.Processes().Started().size(), 1u);  // no setup on this disc
  EXPECT_EQ(
      Journal("ui").back(),
      "message box \"Setup\": \"Can not find the Sonavex Applications setup program.\" -> OK");
}

TEST_F(Suite, TheRowOfEachSystemAndFlavour) {
  using apps::SuiteSetupCandidates;
  app::InstallOptions options;
  app::WindowsClass system;
  system.isWin95 = 1;
  EXPECT_EQ(SuiteSetupCandidates(system, options).size(), 6u);
  system = {};
  system.isWin98 = 1;
  options.Windows98SEDriver = 1;
  EXPECT_EQ(SuiteSetupCandidates(system, options).size(), 6u);
  system.isWin98SE = 1;
  options.Windows98SEDriver = 0;
  EXPECT_EQ(SuiteSetupCandidates(system, options).front(), "Win_9x\\app\\Setup.exe");
  options.Windows98SEDriver = 1;
  EXPECT_EQ(SuiteSetupCandidates(system, options).front(), "Win_ME\\app\\Setup.exe");
  system = {};
  system.isWinME = 1;
  options.WindowsMEDriver = 1;
  EXPECT_EQ(SuiteSetupCandidates(system, options).size(), 4u);
  options.WindowsMEDriver = 0;
  EXPECT_EQ(SuiteSetupCandidates(system, options).size(), 6u);
  system = {};
  system.isNT4 = 1;
  EXPECT_EQ(SuiteSetupCandidates(system, options),
            (std::vector<std::string>{"Win_NT40\\app\\Setup.exe", "NT40\\app\\Setup.exe",
                                      "Applications\\Setup.exe"}));
  EXPECT_TRUE(SuiteSetupCandidates(app::WindowsClass{}, options).empty());
}

class SuiteOn98SE : public Suite {
 protected:
  SuiteOn98SE() : Suite(WindowsVersion::Win98SE) {}
};

TEST_F(SuiteOn98SE, TheVxdRowFindsItsThirdCandidate) {
  state.Windows98SEDriver = 0;
  Disc("XP-2K-ME\\app\\Setup.exe", "MZ");
  Disc("Applications\\Setup.exe", "MZ");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Started(), std::vector<std::string>{"D:\\XP-2K-ME\\app\\Setup.exe"});
}

TEST_F(SuiteOn98SE, ADiscInAFolderWithABlankStartsItsOwnSetup) {
  machine.Files().WriteFileDirect("C:\\My.exe", "MZ");
  machine.Files().WriteFileDirect("C:\\My Disc\\Applications\\Setup.exe", "MZ");
  state.sourceDir = "C:\\My Disc\\";
  EXPECT_TRUE(Run());
  ASSERT_EQ(machine.Processes().Started().size(), 1u);
  EXPECT_EQ(machine.Processes().Started()[0].program, "C:\\My Disc\\Applications\\Setup.exe");
}

class SuiteOnNT4 : public Suite {
 protected:
  SuiteOnNT4() : Suite(WindowsVersion::NT4) {}
};

TEST_F(SuiteOnNT4, TheMixerClosesTooAndTheNt40Setup) {
  machine.Processes().AddRunningWindow("Mixer", "C:\\Suite\\Mixer.exe");
  Disc("NT40\\app\\Setup.exe", "MZ");
  EXPECT_TRUE(Run());
  EXPECT_EQ(Closed(), std::vector<std::string>{"WM_CLOSE to \"Mixer\""});
  EXPECT_EQ(Started().back(), "D:\\NT40\\app\\Setup.exe");
}

}  // namespace
}  // namespace installtest
