// How the audio device's phone jacks are wired, and whether its MIDI and GAME ports stay
// enabled, asked before the WDM driver's INF files are staged.
#pragma once

#include "install/MainDialogState.h"
#include "ui/DialogBase.h"
#include "ui/resource.h"

namespace ui {

class JackOptionsDialog : public DialogBase {
 public:
  JackOptionsDialog(platform::Platform& platform, platform::WindowHandle owner)
      : DialogBase(platform, IDD_JACK_OPTIONS, owner) {}

  // Set only when the user presses Install.
  install::JackOptions results;

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;

 private:
  void Install();
};

}  // namespace ui
