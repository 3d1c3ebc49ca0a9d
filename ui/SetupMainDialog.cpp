#include "ui/SetupMainDialog.h"

#include <exception>

#include "app/Paths.h"
#include "install/DriverSetupPrograms.h"
#include "install/StateFile.h"
#include "ui/JackOptionsDialog.h"
#include "ui/SecondaryDialogs.h"
#include "ui/resource.h"

namespace ui {

namespace {

constexpr std::uint32_t kAboutCommand = 0x0010;
constexpr std::size_t kCommandLineBuffer = 1024;
constexpr const char* kSetupCaption = "Setup";

bool AnyOf(const std::string& text, std::initializer_list<const char*> switches) {
  for (const char* candidate : switches) {
    if (text == candidate) {
      return true;
    }
  }
  return false;
}

}  // namespace

SetupMainDialog::SetupMainDialog(platform::Platform& platform, const app::InstallContext& context,
                                 const app::DetectionState& detection, install::Commands& commands)
    : DialogBase(platform, IDD_SETUP_MAIN),
      context_(context),
      commands_(commands),
      session_{platform, state_, context, detection, *this, commands} {}

bool SetupMainDialog::OnInit() {
  platform_.dialogs.SetWindowText(Handle(), kSetupCaption);
  PlaceWindow();
  std::string about = platform_.dialogs.LoadString(IDS_ABOUT_SETUP, 256);
  if (!about.empty()) {
    platform_.dialogs.AppendSystemMenuItem(Handle(), kAboutCommand, about);
  }
  platform_.dialogs.SetIcon(Handle(), IDR_MAINFRAME);
  static_cast<app::WindowsClass&>(state_) = app::ClassifyWindows(platform_.system);
  CopyContext();
  install::ResetStateFile(platform_, state_.isNT4);
  Route();
  // The codec variant installs only the driver on NT 4.0, Windows 95 and Windows 98.
  if (state_.InstallWDMUDACodecDriver &&
      (state_.isNT4 || state_.isWin95 || (state_.isWin98 && !state_.isWin98SE))) {
    Enable(IDC_INSTALL_ALL, false);
    Enable(IDC_INSTALL_APPS, false);
  }
  return true;
}

void SetupMainDialog::PlaceWindow() {
  platform::Rect desktop = platform_.dialogs.DesktopRect();
  platform_.dialogs.MoveWindow(Handle(), 0, (desktop.right - 640) / 2, (desktop.bottom - 480) / 2,
                               640, 480);
  platform_.dialogs.MoveWindow(Handle(), IDC_INSTALL_ALL, 170, 120, 260, 40);
  platform_.dialogs.MoveWindow(Handle(), IDC_INSTALL_DRIVER, 170, 180, 260, 40);
  platform_.dialogs.MoveWindow(Handle(), IDC_INSTALL_APPS, 170, 240, 260, 40);
  platform_.dialogs.MoveWindow(Handle(), win::IDCANCEL, 170, 300, 260, 40);
}

void SetupMainDialog::CopyContext() {
  state_.sourceDir = context_.sourceDir;
  static_cast<app::InstallOptions&>(state_) = context_;
  state_.commandLine = context_.commandLine.substr(0, kCommandLineBuffer - 1);
  state_.combinedInstall = 0;
  state_.useVxdDriver = 0;
}

void SetupMainDialog::Route() {
  const std::string& command = state_.commandLine;
  if (command == "/SPEAKER") {
    SpeakerRoute();
  }
  if (state_.WebSetup == 0 && AnyOf(command, {"/AP", "AP", "-AP"})) {
    commands_.OnInstallApplications(session_);
  }
  if (state_.WebSetup == 0 &&
      (AnyOf(command, {"/DRIVER", "DRIVER", "-DRIVER"}) || state_.DriverOnly != 0)) {
    commands_.OnInstallDriver(session_);
    state_.Windows98SEDriverAskUser = 0;
    state_.WindowsMEDriverAskUser = 0;
  }
  if (state_.WebSetup == 2) {
    ChooseFlavour();
    commands_.OnInstallDriver(session_);
  }
  if (state_.WebSetup == 1) {
    WebSetupFirstStage();
  }
}

void SetupMainDialog::ChooseFlavour() {
  state_.useVxdDriver = state_.InstallWDMDriver == 0 ? 1 : 0;
  if (state_.InstallWDMUDACodecDriver && state_.UDAWindows98Driver && state_.isWin98) {
    state_.useVxdDriver = 0;
  }
  state_.Windows98SEDriver = state_.WindowsMEDriver = state_.useVxdDriver == 0 ? 1 : 0;
}

void SetupMainDialog::SpeakerRoute() {
  const std::string path = state_.sourceDir + install::DriverSetupProgram(state_.isNT5);
  if (!app::FileExists(platform_.files, path)) {
    ReportMissingProgram(state_.isNT5 ? "Can not find the setup program for Windows 2000 and XP."
                                      : "Can not find the setup program for Windows 98 SE and ME.");
    Exit();
  }
  install::StartDriverSetupProgram(platform_, path, " /SPEAKER");
  Exit();
}

void SetupMainDialog::WebSetupFirstStage() {
  JackOptionsDialog jackOptions(platform_, Handle());
  if (jackOptions.DoModal() != win::IDOK) {
    Exit();
  }
  ChooseFlavour();
  state_.jackOptions = jackOptions.results;
  if (state_.useVxdDriver == 1) {
    Exit();
  }
  commands_.StageWdmDriver(session_, 0, 1);
  // The short form keeps the command line free of blanks; should it not be had, the long form
  // serves, and is quoted when started.
  std::string staging = app::ShortPathOf(platform_.files, install::kWdmStagingFolder);
  app::AppendBackslash(staging);
  platform_.profiles.WriteString("InstallOption", "WebSetup", "2", staging + "Setup.ini");
  const std::string path = staging + install::DriverSetupProgram(state_.isNT5);
  if (!app::FileExists(platform_.files, path)) {
    ReportMissingProgram("Can not find the setup program.");
    Exit();
  }
  install::StartDriverSetupProgram(platform_, path, " /DRIVER");
  Exit();
}

void SetupMainDialog::ReportMissingProgram(const std::string& text) {
  platform_.ui.ShowMessageBox(Handle(), text, kSetupCaption, win::MB_OK);
}

void SetupMainDialog::Exit() {
  platform_.system.ExitProcess(0);
  std::terminate();  // not reached: the process's exit never returns
}

bool SetupMainDialog::OnClicked(int id) {
  switch (id) {
    case IDC_INSTALL_ALL:
      commands_.OnCombinedInstall(session_);
      return true;
    case IDC_INSTALL_DRIVER:
      commands_.OnInstallDriver(session_);
      return true;
    case IDC_INSTALL_APPS:
      commands_.OnInstallApplications(session_);
      return true;
    default:
      return false;  // Exit (IDCANCEL): the dialog ends
  }
}

int SetupMainDialog::AskDriverArchitecture(int& vxdSelected) {
  DriverArchDialog question(platform_, Handle());
  question.vxdSelected = vxdSelected;
  int result = question.DoModal();
  if (result == win::IDOK) {
    vxdSelected = question.vxdSelected;
  }
  return result;
}

void SetupMainDialog::OfferRestart() {
  RestartDialog offer(platform_, Handle());
  offer.DoModal();
}

bool SetupMainDialog::OnSysCommand(platform::WindowHandle, std::uint32_t command) {
  if ((command & 0xFFF0) != kAboutCommand) {
    return false;
  }
  AboutDialog about(platform_, Handle());
  about.DoModal();
  return true;
}

int SetupMainDialog::MinimizedIcon() const {
  return IDR_MAINFRAME;
}

}  // namespace ui
