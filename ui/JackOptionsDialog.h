// How the audio device's phone jacks are wired, and whether its MIDI and GAME ports stay
// enabled, asked before the WDM driver's INF files are staged.
#pragma once

#include "ui/DialogBase.h"
#include "ui/resource.h"

namespace ui {

struct JackOptions {
  int lineInSharesRearJack = 0;
  int lineInSharesCenterJack = 0;
  int micSharesSubwooferJack = 0;
  int gamePortEnabled = 0;
  int midiPortEnabled = 0;
};

class JackOptionsDialog : public DialogBase {
 public:
  explicit JackOptionsDialog(platform::Platform& platform)
      : DialogBase(platform, IDD_JACK_OPTIONS) {}

  // Set only when the user presses Install.
  JackOptions results;

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;

 private:
  void Install();
};

}  // namespace ui
