// Dialogs from the resource templates (DialogBoxParamA and the dialog manager), their controls,
// the system menu, the window icon, string resources and the wait cursor.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handle.h"

namespace platform {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// What a dialog class does with the messages its dialog gets. The backend gives every message
// not handled here the dialog manager's default processing: OK and Cancel end the dialog with
// IDOK and IDCANCEL, and closing it is Cancel.
class DialogEvents {
 public:
  virtual ~DialogEvents() = default;
  // WM_INITDIALOG; true gives the focus to the first tab stop.
  virtual bool OnInitDialog(WindowHandle dialog) = 0;
  // WM_COMMAND; true when handled.
  virtual bool OnCommand(WindowHandle dialog, int id, int notification) = 0;
  // WM_SYSCOMMAND with the command masked by FFF0h; true when handled.
  virtual bool OnSysCommand(WindowHandle dialog, std::uint32_t command) {
    (void)dialog;
    (void)command;
    return false;
  }
  // An icon resource drawn while the dialog is minimised and given for dragging; 0 for none.
  virtual int MinimizedIcon() const { return 0; }
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows template `templateId` modally; the result given to EndDialog, or -1 when the dialog
  // cannot be created. An owner is disabled while the dialog runs and enabled again after.
  virtual int DoModal(int templateId, WindowHandle owner, DialogEvents& events) = 0;
  virtual void EndDialog(WindowHandle dialog, int result) = 0;
  // SendMessageA(WM_CLOSE) to a dialog.
  virtual void SendClose(WindowHandle dialog) = 0;
  virtual void CheckButton(WindowHandle dialog, int id, int state) = 0;
  virtual int IsButtonChecked(WindowHandle dialog, int id) = 0;
  virtual void EnableControl(WindowHandle dialog, int id, bool enable) = 0;
  virtual bool IsControlEnabled(WindowHandle dialog, int id) = 0;
  // IsWindowEnabled of a dialog window: false while a modal dialog it owns runs.
  virtual bool IsWindowEnabled(WindowHandle window) = 0;
  virtual void SetWindowText(WindowHandle window, const std::string& text) = 0;
  // GetWindowTextA of the dialog (id 0) or GetDlgItemTextA of one of its controls, into a
  // buffer of `capacity` characters; empty when there is no such window.
  virtual std::string GetText(WindowHandle dialog, int id, std::uint32_t capacity) = 0;
  // MoveWindow of the dialog (id 0) or one of its controls, in pixels.
  virtual void MoveWindow(WindowHandle dialog, int id, int x, int y, int width, int height) = 0;
  virtual Rect DesktopRect() = 0;
  // Appends a separator and a string item to the dialog's system menu, when it has one.
  virtual void AppendSystemMenuItem(WindowHandle dialog, std::uint32_t command,
                                    const std::string& text) = 0;
  // WM_SETICON, large and small, from an icon resource.
  virtual void SetIcon(WindowHandle dialog, int iconId) = 0;
  // LoadStringA into a buffer of `capacity` characters; empty when there is no such string.
  virtual std::string LoadString(int id, std::uint32_t capacity) = 0;
  // The hourglass for a long command; off again when the command returns.
  virtual void SetWaitCursor(bool on) = 0;
};

}  // namespace platform
