// What every dialog class of the launcher shares: its template, its owner, and the handle of
// the dialog while it is shown, over the platform's dialog manager.
#pragma once

#include "platform/Platform.h"

namespace ui {

class DialogBase : public platform::DialogEvents {
 public:
  DialogBase(platform::Platform& platform, int templateId, platform::WindowHandle owner = {})
      : platform_(platform), templateId_(templateId), owner_(owner) {}

  // Shows the dialog modally; its result (IDOK, IDCANCEL...).
  int DoModal() { return platform_.dialogs.DoModal(templateId_, owner_, *this); }

  bool OnInitDialog(platform::WindowHandle dialog) override {
    dialog_ = dialog;
    return OnInit();
  }
  bool OnCommand(platform::WindowHandle, int id, int notification) override {
    return notification == 0 && OnClicked(id);  // BN_CLICKED
  }

  platform::WindowHandle Handle() const { return dialog_; }
  platform::Platform& Platform() { return platform_; }
  void EndDialog(int result) { platform_.dialogs.EndDialog(dialog_, result); }

 protected:
  // Initialisation after the dialog manager's own; true gives the focus to the first tab stop.
  virtual bool OnInit() { return true; }
  // A button click; true when handled (otherwise OK and Cancel end the dialog).
  virtual bool OnClicked(int id) {
    (void)id;
    return false;
  }

  void Check(int id, int state) { platform_.dialogs.CheckButton(dialog_, id, state); }
  int IsChecked(int id) { return platform_.dialogs.IsButtonChecked(dialog_, id); }
  void Enable(int id, bool enable) { platform_.dialogs.EnableControl(dialog_, id, enable); }

  platform::Platform& platform_;

 private:
  int templateId_;
  platform::WindowHandle owner_;
  platform::WindowHandle dialog_{};
};

}  // namespace ui
