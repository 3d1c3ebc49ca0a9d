// The main dialog: its initialisation, the routing of the command line and WebSetup, the
// driver setup programs, the buttons and the codec variant's disabled buttons.
#include "tests/ui/UiFixture.h"
#include "ui/SecondaryDialogs.h"

namespace uitest {
namespace {

using sim::WindowsVersion;

class MainDialog : public UiTest {
 protected:
  explicit MainDialog(WindowsVersion version = WindowsVersion::Win98SE) : UiTest(version) {}
};

TEST_F(MainDialog, InitialisationPlacesTheWindowAndResetsTheStateFile) {
  machine.Dialogs().SetDesktop(platform::Rect{0, 0, 1025, 769});
  Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(result, win::IDCANCEL);
  const sim::DialogSnapshot& shown = Last(IDD_SETUP_MAIN);
  EXPECT_EQ(shown.caption, "Setup");
  EXPECT_EQ(shown.icon, IDR_MAINFRAME);
  auto placed = [&](int id) {
    const platform::Rect& r = shown.placed.at(id);
    return std::make_tuple(r.left, r.top, r.right - r.left, r.bottom - r.top);
  };
  EXPECT_EQ(placed(0), std::make_tuple(192, 144, 640, 480));
  EXPECT_EQ(placed(IDC_INSTALL_ALL), std::make_tuple(170, 120, 260, 40));
  EXPECT_EQ(placed(IDC_INSTALL_DRIVER), std::make_tuple(170, 180, 260, 40));
  EXPECT_EQ(placed(IDC_INSTALL_APPS), std::make_tuple(170, 240, 260, 40));
  EXPECT_EQ(placed(win::IDCANCEL), std::make_tuple(170, 300, 260, 40));
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\ORVSETUP.INI"),
            "[Need_To_Reboot]\r\nInstall=YES\r\n[Need_To_InstallDriver]\r\nInstall=NO\r\n"
            "Command=\r\nInstallDX=NO\r\n");
  EXPECT_TRUE(commands.calls.empty());
}

TEST_F(MainDialog, TheButtonsRunTheirCommands) {
  Script(IDD_SETUP_MAIN, {Click(IDC_INSTALL_ALL), Click(IDC_INSTALL_DRIVER),
                          Click(IDC_INSTALL_APPS), sim::DialogAction::SysCommand(0x0010),
                          sim::DialogAction::SysCommand(0xF020), Click(win::IDCANCEL)});
  Script(IDD_ABOUT, {Click(win::IDOK)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"OnCombinedInstall", "OnInstallDriver vxd=0",
                                                      "OnInstallApplications"}));
  EXPECT_EQ(Last(IDD_ABOUT).result, win::IDOK);
}

TEST_F(MainDialog, ACancelledArchitectureQuestionClosesTheMainDialog) {
  // What the install commands do with the answer: WM_CLOSE to the main dialog on Cancel.
  commands.onInstallDriver = [](install::Session& s) {
    int vxdSelected = s.state.useVxdDriver;
    if (s.user.AskDriverArchitecture(vxdSelected) != win::IDOK) {
      s.user.CloseMainWindow();
    }
  };
  Script(IDD_SETUP_MAIN, {Click(IDC_INSTALL_DRIVER)});
  Script(IDD_DRIVER_ARCH, {Click(win::IDCANCEL)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(result, win::IDCANCEL);
  EXPECT_EQ(Last(IDD_DRIVER_ARCH).checked.at(IDC_ARCH_WDM), 1);  // preset from useVxdDriver 0
  EXPECT_EQ(Last(IDD_DRIVER_ARCH).owner, dialog->Handle().value);
}

TEST_F(MainDialog, TheQuestionsAreOwnedByTheMainWindowWhichTakesNoInputMeanwhile) {
  // While the architecture question or the restart offer is up, pressing the main window's
  // buttons does nothing: no second command starts inside the first.
  commands.onInstallDriver = [this](install::Session& s) {
    EXPECT_TRUE(machine.Platform().dialogs.IsWindowEnabled(s.user.MainWindow()));
    int vxdSelected = 1;
    EXPECT_EQ(s.user.AskDriverArchitecture(vxdSelected), win::IDOK);
    EXPECT_EQ(vxdSelected, 0);
    s.user.OfferRestart();
    EXPECT_TRUE(machine.Platform().dialogs.IsWindowEnabled(s.user.MainWindow()));
  };
  Script(IDD_SETUP_MAIN, {Click(IDC_INSTALL_DRIVER), Click(win::IDCANCEL)});
  Script(IDD_DRIVER_ARCH,
         {sim::DialogAction::ClickOwner(IDC_INSTALL_DRIVER),
          sim::DialogAction::ClickOwner(win::IDCANCEL), Click(IDC_ARCH_WDM), Click(win::IDOK)});
  Script(IDD_RESTART, {sim::DialogAction::ClickOwner(IDC_INSTALL_APPS), Click(IDC_RESTART_NO),
                       Click(win::IDOK)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(result, win::IDCANCEL);  // the Exit pressed after the command, not the one behind
  EXPECT_EQ(commands.calls, std::vector<std::string>{"OnInstallDriver vxd=0"});
  EXPECT_EQ(Last(IDD_DRIVER_ARCH).owner, dialog->Handle().value);
  EXPECT_EQ(Last(IDD_RESTART).owner, dialog->Handle().value);
  EXPECT_FALSE(machine.Security().RestartRequested());
  int refused = 0;
  for (const std::string& line : Journal("ui")) {
    refused += line.find("the window is disabled, nothing happens") != std::string::npos;
  }
  EXPECT_EQ(refused, 3);
}

TEST_F(MainDialog, TheSpeakerRouteStartsTheDiscsProgram) {
  context.commandLine = "/SPEAKER";
  context.WebSetup = 1;  // the speaker route comes first whatever WebSetup says
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(Started(), (std::vector<std::string>{"D:\\MESetup.dat /SPEAKER"}));
  EXPECT_TRUE(commands.calls.empty());
  EXPECT_EQ(machine.Dialogs().ScriptLeft(IDD_SETUP_MAIN), 0u);
}

TEST_F(MainDialog, ASwitchWithAnythingAroundItMatchesNothing) {
  for (const char* command : {"/SPEAKER ", "/AP /DRIVER", "/speaker", " /AP"}) {
    context.commandLine = command;
    Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
    EXPECT_FALSE(RunMain()) << command;
    EXPECT_TRUE(commands.calls.empty()) << command;
  }
  EXPECT_TRUE(Started().empty());
}

TEST_F(MainDialog, ApplicationsComeBeforeDriverOnly) {
  context.commandLine = "/AP";
  context.DriverOnly = 1;
  commands.onInstallApplications = [](install::Session& s) { s.platform.system.ExitProcess(0); };
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"OnInstallApplications"}));
}

TEST_F(MainDialog, TheDriverSwitchesAndDriverOnlyClearTheQuestions) {
  for (const char* command : {"/DRIVER", "DRIVER", "-DRIVER", ""}) {
    commands.calls.clear();
    context.commandLine = command;
    context.DriverOnly = std::string(command).empty() ? 1 : 0;
    context.WindowsMEDriverAskUser = context.Windows98SEDriverAskUser = 1;
    Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
    EXPECT_FALSE(RunMain());
    EXPECT_EQ(commands.calls, (std::vector<std::string>{"OnInstallDriver vxd=0"})) << command;
    EXPECT_EQ(dialog->State().WindowsMEDriverAskUser, 0);
    EXPECT_EQ(dialog->State().Windows98SEDriverAskUser, 0);
  }
}

TEST_F(MainDialog, TheSecondWebStageInstallsTheChosenFlavour) {
  context.WebSetup = 2;
  context.commandLine = "/AP";  // ignored in the staged routes
  context.DriverOnly = 1;
  context.InstallWDMDriver = 0;
  Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"OnInstallDriver vxd=1"}));
  EXPECT_EQ(dialog->State().WindowsMEDriver, 0);
  EXPECT_EQ(dialog->State().Windows98SEDriver, 0);

  commands.calls.clear();
  context.InstallWDMDriver = 1;
  Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
  RunMain();
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"OnInstallDriver vxd=0"}));
  EXPECT_EQ(dialog->State().WindowsMEDriver, 1);
}

TEST_F(MainDialog, AnInstallerThatEndsTheDialogLetsRoutingFinish) {
  context.DriverOnly = 1;
  context.WindowsMEDriverAskUser = 1;
  commands.onInstallDriver = [](install::Session& s) { s.user.EndMainWindow(win::IDOK); };
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(result, win::IDOK);
  EXPECT_EQ(dialog->State().WindowsMEDriverAskUser, 0);
}

TEST_F(MainDialog, TheFirstWebStageStagesAndStartsTheStagedProgram) {
  context.WebSetup = 1;
  context.InstallWDMDriver = 1;
  commands.onStage = [this] {
    machine.Files().WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "MZ");
    machine.Files().WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_ME\\Setup.ini",
                                    "[InstallOption]\r\nWebSetup=1\r\n");
  };
  Script(IDD_JACK_OPTIONS, {Click(IDC_DISABLE_MIDI), Click(win::IDOK)});
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(Last(IDD_JACK_OPTIONS).owner, dialog->Handle().value);
  EXPECT_EQ(commands.calls, (std::vector<std::string>{"StageWdmDriver 0 1"}));
  EXPECT_EQ(dialog->State().jackOptions.midiPortEnabled, 0);
  EXPECT_EQ(dialog->State().jackOptions.lineInSharesRearJack, 1);
  EXPECT_EQ(Started(),
            (std::vector<std::string>{"C:\\PROGRA~1\\ORVANTA\\WIN_ME\\MESetup.dat /DRIVER"}));
  EXPECT_EQ(machine.Platform().profiles.GetString("InstallOption", "WebSetup", "", 260,
                                                  "C:\\Program Files\\Orvanta\\WIN_ME\\Setup.ini"),
            "2");
}

TEST_F(MainDialog, TheFirstWebStageEndsEarly) {
  context.WebSetup = 1;
  context.InstallWDMDriver = 0;  // the VxD flavour: nothing to stage
  Script(IDD_JACK_OPTIONS, {Click(win::IDOK)});
  EXPECT_TRUE(RunMain());
  EXPECT_TRUE(commands.calls.empty());

  Script(IDD_JACK_OPTIONS, {Close()});  // cancelled
  EXPECT_TRUE(RunMain());
  EXPECT_TRUE(commands.calls.empty());
  EXPECT_TRUE(Started().empty());

  context.InstallWDMDriver = 1;  // staged, but the staged program is missing
  commands.onStage = [this] {
    machine.Files().MakeFoldersDirect("C:\\Program Files\\Orvanta\\WIN_ME");
  };
  Script(IDD_JACK_OPTIONS, {Click(win::IDOK)});
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(Journal("ui").back(),
            "message box \"Setup\": \"Can not find the setup program.\" -> OK");
}

TEST_F(MainDialog, ABlankInTheProgramPathNeverStartsAnotherProgram) {
  // Without a short form the long staging path is used, and quoted: the planted program that an
  // unquoted command line would start never runs.
  machine.Files().WriteFileDirect("C:\\Program.exe", "MZ");
  machine.InjectedFaults().FailEvery(sim::Call::GetShortPathNameA, win::ERROR_FILE_NOT_FOUND);
  context.WebSetup = 1;
  context.InstallWDMDriver = 1;
  commands.onStage = [this] {
    machine.Files().WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat", "MZ");
  };
  Script(IDD_JACK_OPTIONS, {Click(win::IDOK)});
  EXPECT_TRUE(RunMain());
  ASSERT_EQ(machine.Processes().Started().size(), 1u);
  EXPECT_EQ(machine.Processes().Started()[0].program,
            "C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat");
  EXPECT_EQ(Started()[0], "\"C:\\Program Files\\Orvanta\\WIN_ME\\MESetup.dat\" /DRIVER");
}

TEST_F(MainDialog, ADiscCopyInAFolderWithABlankStartsItsOwnProgram) {
  machine.Files().WriteFileDirect("C:\\My.exe", "MZ");
  machine.Files().WriteFileDirect("C:\\My Driver Disc\\MESetup.dat", "MZ");
  context.sourceDir = "C:\\My Driver Disc\\";
  context.commandLine = "/SPEAKER";
  EXPECT_TRUE(RunMain());
  ASSERT_EQ(machine.Processes().Started().size(), 1u);
  EXPECT_EQ(machine.Processes().Started()[0].program, "C:\\My Driver Disc\\MESetup.dat");
  // A path without a blank is started exactly as it is.
  context.sourceDir = "D:\\";
  EXPECT_TRUE(RunMain());
  EXPECT_EQ(Started().back(), "D:\\MESetup.dat /SPEAKER");
}

class MainDialogOn : public MainDialog, public ::testing::WithParamInterface<WindowsVersion> {
 protected:
  MainDialogOn() : MainDialog(GetParam()) {}
  bool Nt5() const {
    return GetParam() == WindowsVersion::Win2000 || GetParam() == WindowsVersion::WinXP;
  }
};

TEST_P(MainDialogOn, TheStateFileAndTheMissingProgramMessage) {
  machine.Files().RemoveDirect("D:\\MESetup.dat");
  machine.Files().RemoveDirect("D:\\W2KSetup.dat");
  context.commandLine = "/SPEAKER";
  EXPECT_TRUE(RunMain());
  std::string windows = machine.Files().WindowsFolder();
  EXPECT_EQ(machine.Platform().profiles.GetString("Need_To_Reboot", "Install", "", 260,
                                                  windows + "\\ORVSETUP.INI"),
            GetParam() == WindowsVersion::NT4 ? "NO" : "YES");
  EXPECT_EQ(Journal("ui").back(),
            std::string("message box \"Setup\": \"Can not find the setup program for ") +
                (Nt5() ? "Windows 2000 and XP." : "Windows 98 SE and ME.") + "\" -> OK");
}

TEST_P(MainDialogOn, TheCodecVariantDisablesButtonsWhereOnlyTheDriverInstalls) {
  context.InstallWDMUDACodecDriver = 1;
  Script(IDD_SETUP_MAIN, {Click(IDC_INSTALL_ALL), Click(IDC_INSTALL_APPS), Click(win::IDCANCEL)});
  EXPECT_FALSE(RunMain());
  bool disabled = GetParam() == WindowsVersion::Win95 || GetParam() == WindowsVersion::Win98 ||
                  GetParam() == WindowsVersion::NT4;
  EXPECT_EQ(Last(IDD_SETUP_MAIN).enabled.at(IDC_INSTALL_ALL), !disabled);
  EXPECT_EQ(Last(IDD_SETUP_MAIN).enabled.at(IDC_INSTALL_APPS), !disabled);
  EXPECT_TRUE(Last(IDD_SETUP_MAIN).enabled.at(IDC_INSTALL_DRIVER));
  EXPECT_EQ(commands.calls.size(), disabled ? 0u : 2u);
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, MainDialogOn,
                         ::testing::Values(WindowsVersion::Win95, WindowsVersion::Win98,
                                           WindowsVersion::Win98SE, WindowsVersion::WinME,
                                           WindowsVersion::NT4, WindowsVersion::Win2000,
                                           WindowsVersion::WinXP));

TEST_F(MainDialog, AnOverlongCommandLineIsCutToTheDialogsBuffer) {
  context.commandLine = "/AP" + std::string(2000, 'X');
  Script(IDD_SETUP_MAIN, {Click(win::IDCANCEL)});
  EXPECT_FALSE(RunMain());
  EXPECT_EQ(dialog->State().commandLine.size(), 1023u);
  EXPECT_TRUE(commands.calls.empty());
}

TEST_F(MainDialog, AnUnscriptedDialogIsAnErrorThatNamesIt) {
  try {
    RunMain();
    FAIL() << "no error";
  } catch (const sim::UnscriptedDialog& error) {
    EXPECT_EQ(std::string(error.what()),
              "dialog 102 \"Setup\" is shown with no action left in its script");
  }
}

}  // namespace
}  // namespace uitest
