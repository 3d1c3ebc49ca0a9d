// The dialog manager of the simulated machine. It builds each dialog from the same compiled
// templates as the real program, keeps its controls' check and enabled states as Windows does
// (auto check boxes toggle, auto radio buttons clear the others of their group, disabled
// controls ignore clicks), disables a modal dialog's owner while it runs, and plays a script of
// user actions per dialog template. A dialog shown with no action left in its script is an error
// that names the dialog.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/sim/Resources.h"
#include "platform/sim/SimCore.h"

namespace sim {

struct DialogAction {
  // Click: a control of the dialog. ClickOwner: a control of the window that owns the dialog,
  // as a user trying the window behind would (it is disabled while the dialog runs).
  enum class Kind { Click, ClickOwner, Close, SysCommand } kind = Kind::Click;
  int id = 0;  // the control clicked, or the system command

  static DialogAction Click(int control) { return {Kind::Click, control}; }
  static DialogAction ClickOwner(int control) { return {Kind::ClickOwner, control}; }
  static DialogAction Close() { return {Kind::Close, 0}; }
  static DialogAction SysCommand(int command) { return {Kind::SysCommand, command}; }
};

// Parses "click:1004", "owner:3", "close" or "syscommand:0x10".
bool ParseDialogAction(const std::string& text, DialogAction& action);

class UnscriptedDialog : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A dialog as the last showing left it, for tests and the lab tool.
struct DialogSnapshot {
  int templateId = 0;
  std::string caption;
  int result = 0;
  std::uintptr_t owner = 0;  // the owner's handle, 0 for none
  std::map<int, int> checked;
  std::map<int, bool> enabled;
  std::map<int, platform::Rect> placed;  // pixels, after MoveWindow; 0 is the dialog
  std::vector<std::string> systemMenu;
  int icon = 0;
};

class SimDialogs : public platform::Dialogs {
 public:
  explicit SimDialogs(SimCore& core);
  ~SimDialogs() override;

  bool LoadResources(const std::uint8_t* data, std::size_t size, std::string& error);
  // Takes resources read once elsewhere, shared by many machines without reading them again.
  void UseResources(std::shared_ptr<const Resources> resources);
  const Resources& Templates() const { return *resources_; }
  void SetLanguage(int language) { language_ = language; }
  int Language() const { return language_; }
  void SetDesktop(const platform::Rect& desktop) { desktop_ = desktop; }
  // Appends actions to the script of a template.
  void Script(int templateId, const std::vector<DialogAction>& actions);
  std::size_t ScriptLeft(int templateId) const;
  // The actions not played yet are dropped (the process they were for is gone).
  void ClearScripts() { scripts_.clear(); }
  const std::vector<DialogSnapshot>& Shown() const { return shown_; }

  int DoModal(int templateId, platform::WindowHandle owner,
              platform::DialogEvents& events) override;
  void EndDialog(platform::WindowHandle dialog, int result) override;
  void SendClose(platform::WindowHandle dialog) override;
  void CheckButton(platform::WindowHandle dialog, int id, int state) override;
  int IsButtonChecked(platform::WindowHandle dialog, int id) override;
  void EnableControl(platform::WindowHandle dialog, int id, bool enable) override;
  bool IsControlEnabled(platform::WindowHandle dialog, int id) override;
  bool IsWindowEnabled(platform::WindowHandle window) override;
  void SetWindowText(platform::WindowHandle window, const std::string& text) override;
  std::string GetText(platform::WindowHandle dialog, int id, std::uint32_t capacity) override;
  void MoveWindow(platform::WindowHandle dialog, int id, int x, int y, int width,
                  int height) override;
  platform::Rect DesktopRect() override {
    return core_.Injected(Call::GetWindowRect) ? platform::Rect{} : desktop_;
  }
  void AppendSystemMenuItem(platform::WindowHandle dialog, std::uint32_t command,
                            const std::string& text) override;
  void SetIcon(platform::WindowHandle dialog, int iconId) override;
  std::string LoadString(int id, std::uint32_t capacity) override;
  void SetWaitCursor(bool on) override;

  // SendMessageA to a dialog window: WM_CLOSE, WM_SYSCOMMAND and WM_COMMAND get what the dialog
  // manager gives them. Nothing when the window is not one of the dialogs.
  std::optional<std::intptr_t> SendMessage(platform::WindowHandle window, std::uint32_t message,
                                           std::uintptr_t wParam);

 private:
  struct Control {
    DialogControl source;
    int checked = 0;
    bool enabled = true;
  };
  struct Open {
    std::uintptr_t handle = 0;
    const DialogTemplate* source = nullptr;
    platform::DialogEvents* events = nullptr;
    std::vector<Control> controls;
    bool enabled = true;            // the dialog window itself
    Open* disabledOwner = nullptr;  // the owner this dialog disabled while it runs
    bool ended = false;
    int result = 0;
    DialogSnapshot snapshot;
  };

  Open* Find(platform::WindowHandle dialog);
  Control* ControlOf(Open& open, int id);
  Control* ControlAt(platform::WindowHandle dialog, int id);
  void Click(Open& open, int id);
  void SystemCommand(Open& open, std::uint32_t command);
  void DefaultCommand(Open& open, int id);
  // WM_CLOSE from the user, or from SendClose.
  void Close(Open& open);
  std::string Name(const Open& open) const;

  SimCore& core_;
  std::shared_ptr<const Resources> resources_ = std::make_shared<Resources>();
  int language_ = 1033;
  platform::Rect desktop_{0, 0, 1024, 768};
  std::map<int, std::deque<DialogAction>> scripts_;
  std::vector<std::unique_ptr<Open>> open_;
  std::vector<DialogSnapshot> shown_;
  std::uintptr_t nextHandle_ = 0x40010;
  bool waitCursor_ = false;
};

}  // namespace sim
