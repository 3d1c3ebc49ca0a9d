// The main window: a 640 by 480 picture with four buttons. Its initialisation also routes the
// command line and the option file's WebSetup mode, which may start another setup program, run
// an installer at once, or ask the jack options and stage the WDM driver, often ending the
// process before the window is ever seen.
#pragma once

#include <string>

#include "app/InstallContext.h"
#include "install/Session.h"
#include "ui/DialogBase.h"

namespace ui {

class SetupMainDialog : public DialogBase, public install::UserPrompts {
 public:
  SetupMainDialog(platform::Platform& platform, const app::InstallContext& context,
                  const app::DetectionState& detection, install::Commands& commands);

  install::MainDialogState& State() { return state_; }

  // install::UserPrompts: the secondary dialogs, owned by this one.
  platform::WindowHandle MainWindow() override { return Handle(); }
  void CloseMainWindow() override { platform_.dialogs.SendClose(Handle()); }
  void EndMainWindow(int result) override { EndDialog(result); }
  int AskDriverArchitecture(int& vxdSelected) override;
  void OfferRestart() override;

  bool OnSysCommand(platform::WindowHandle dialog, std::uint32_t command) override;
  int MinimizedIcon() const override;

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;

 private:
  void PlaceWindow();
  void CopyContext();
  void Route();
  // The flavour the WebSetup routes install: the WDM driver unless InstallWDMDriver is 0 (and
  // the codec on Windows 98 always the WDM driver).
  void ChooseFlavour();
  // Ends the process through the runtime's orderly exit, code 0.
  [[noreturn]] void Exit();
  void SpeakerRoute();
  void WebSetupFirstStage();
  void ReportMissingProgram(const std::string& text);

  const app::InstallContext& context_;
  install::Commands& commands_;
  install::MainDialogState state_;
  install::Session session_;
};

}  // namespace ui
