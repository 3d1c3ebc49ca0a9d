// The main window: a 640 by 480 picture with four buttons. Its initialisation also routes the
// command line and the option file's WebSetup mode, which may start another setup program, run
// an installer at once, or ask the jack options and stage the WDM driver, often ending the
// process before the window is ever seen.
#pragma once

#include <string>

#include "app/InstallContext.h"
#include "ui/DialogBase.h"
#include "ui/JackOptionsDialog.h"

namespace ui {

// The main dialog's own copy of the context, which the installers read and change in place.
struct MainDialogState : app::WindowsClass, app::InstallOptions {
  std::string sourceDir;
  std::string commandLine;  // at most 1023 characters, as the dialog's buffer holds them
  int precopyCabsPresent = 0;
  int combinedInstall = 0;
  int useVxdDriver = 0;
  JackOptions jackOptions;
};

class SetupMainDialog;

// The commands the buttons and the routes run; the installers provide them.
class Installers {
 public:
  virtual ~Installers() = default;
  virtual void OnInstallDriver(SetupMainDialog& dialog) = 0;
  virtual void OnInstallApplications(SetupMainDialog& dialog) = 0;
  virtual void OnCombinedInstall(SetupMainDialog& dialog) = 0;
  virtual void StageWdmDriver(SetupMainDialog& dialog, int deferDriverSetup,
                              int patchInfOptions) = 0;
};

class SetupMainDialog : public DialogBase {
 public:
  SetupMainDialog(platform::Platform& platform, const app::InstallContext& context,
                  const app::DetectionState& detection, Installers& installers);

  MainDialogState& State() { return state_; }
  const app::DetectionState& Detection() const { return detection_; }

  bool OnSysCommand(platform::WindowHandle dialog, std::uint32_t command) override;
  int MinimizedIcon() const override;

  // The flavour the WebSetup routes install: the WDM driver unless InstallWDMDriver is 0 (and
  // the codec on Windows 98 always the WDM driver).
  void ChooseFlavour();
  // Ends the process through the runtime's orderly exit, code 0.
  [[noreturn]] void Exit();

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;

 private:
  void PlaceWindow();
  void CopyContext();
  void ResetStateFile();
  void Route();
  void SpeakerRoute();
  void WebSetupFirstStage();
  void ReportMissingProgram(const std::string& text);

  const app::InstallContext& context_;
  const app::DetectionState& detection_;
  Installers& installers_;
  MainDialogState state_;
};

}  // namespace ui
