#include "platform/journal/JournalingPlatform.h"

namespace journal {

namespace {

// Captions and control texts are read into buffers of this size.
constexpr std::uint32_t kTextCapacity = 256;
// The notification of a button pressed, with the mouse or the keyboard.
constexpr int kClicked = 0;

}  // namespace

// The dialog class's events, passed on; the dialog's opening, the commands it gets and its
// system commands are journaled on the way.
class JournalDialogs::Events : public platform::DialogEvents {
 public:
  Events(JournalDialogs& dialogs, int templateId, platform::DialogEvents& below)
      : dialogs_(dialogs), templateId_(templateId), below_(below) {}

  bool OnInitDialog(platform::WindowHandle dialog) override {
    Below& under = dialogs_.below_;
    const std::string caption = under.platform.dialogs.GetText(dialog, 0, kTextCapacity);
    dialogs_.names_[dialog.value] = "dialog " + std::to_string(templateId_) + " " + Quoted(caption);
    dialogs_.templates_[dialog.value] = templateId_;
    opened_ = dialog;
    under.journal.Record("ui", dialogs_.names_[dialog.value] + " opens");
    return below_.OnInitDialog(dialog);
  }
  bool OnCommand(platform::WindowHandle dialog, int id, int notification) override {
    if (notification == kClicked) {
      Below& under = dialogs_.below_;
      const std::string text = under.platform.dialogs.GetText(dialog, id, kTextCapacity);
      under.journal.Record("ui", "command " + std::to_string(id) + " " + Quoted(text) + " in " +
                                     dialogs_.NameOf(dialog));
    }
    return below_.OnCommand(dialog, id, notification);
  }
  bool OnSysCommand(platform::WindowHandle dialog, std::uint32_t command) override {
    dialogs_.below_.journal.Record(
        "ui", "system command " + std::to_string(command) + " to " + dialogs_.NameOf(dialog));
    return below_.OnSysCommand(dialog, command);
  }
  int MinimizedIcon() const override { return below_.MinimizedIcon(); }

  // The dialog's window, once it was created.
  platform::WindowHandle Opened() const { return opened_; }

 private:
  JournalDialogs& dialogs_;
  int templateId_;
  platform::DialogEvents& below_;
  platform::WindowHandle opened_;
};

std::string JournalDialogs::NameOf(platform::WindowHandle dialog) const {
  auto it = names_.find(dialog.value);
  return it != names_.end() ? it->second
                            : "window " + Hex(static_cast<std::uint32_t>(dialog.value), 1);
}

int JournalDialogs::DoModal(int templateId, platform::WindowHandle owner,
                            platform::DialogEvents& events) {
  Events journaled(*this, templateId, events);
  int result = below_.platform.dialogs.DoModal(templateId, owner, journaled);
  const platform::WindowHandle dialog = journaled.Opened();
  if (dialog.IsNull()) {
    below_.Failed("DialogBoxParamA", "dialog " + std::to_string(templateId),
                  below_.platform.system.GetLastError());
    return result;
  }
  below_.journal.Record("ui", NameOf(dialog) + " ends with " + std::to_string(result));
  names_.erase(dialog.value);
  templates_.erase(dialog.value);
  return result;
}

void JournalDialogs::EndDialog(platform::WindowHandle dialog, int result) {
  below_.platform.dialogs.EndDialog(dialog, result);
}

void JournalDialogs::SendClose(platform::WindowHandle dialog) {
  below_.platform.dialogs.SendClose(dialog);
}

void JournalDialogs::CheckButton(platform::WindowHandle dialog, int id, int state) {
  below_.platform.dialogs.CheckButton(dialog, id, state);
}

int JournalDialogs::IsButtonChecked(platform::WindowHandle dialog, int id) {
  return below_.platform.dialogs.IsButtonChecked(dialog, id);
}

void JournalDialogs::EnableControl(platform::WindowHandle dialog, int id, bool enable) {
  below_.platform.dialogs.EnableControl(dialog, id, enable);
}

bool JournalDialogs::IsControlEnabled(platform::WindowHandle dialog, int id) {
  return below_.platform.dialogs.IsControlEnabled(dialog, id);
}

bool JournalDialogs::IsWindowEnabled(platform::WindowHandle window) {
  return below_.platform.dialogs.IsWindowEnabled(window);
}

void JournalDialogs::SetWindowText(platform::WindowHandle window, const std::string& text) {
  below_.platform.dialogs.SetWindowText(window, text);
  auto it = names_.find(window.value);
  if (it != names_.end()) {
    // The dialog is named by its caption as it stands.
    it->second = "dialog " + std::to_string(templates_[window.value]) + " " +
                 Quoted(below_.platform.dialogs.GetText(window, 0, kTextCapacity));
  }
}

std::string JournalDialogs::GetText(platform::WindowHandle dialog, int id, std::uint32_t capacity) {
  return below_.platform.dialogs.GetText(dialog, id, capacity);
}

void JournalDialogs::MoveWindow(platform::WindowHandle dialog, int id, int x, int y, int width,
                                int height) {
  below_.platform.dialogs.MoveWindow(dialog, id, x, y, width, height);
}

platform::Rect JournalDialogs::DesktopRect() {
  return below_.platform.dialogs.DesktopRect();
}

void JournalDialogs::AppendSystemMenuItem(platform::WindowHandle dialog, std::uint32_t command,
                                          const std::string& text) {
  below_.platform.dialogs.AppendSystemMenuItem(dialog, command, text);
}

void JournalDialogs::SetIcon(platform::WindowHandle dialog, int iconId) {
  below_.platform.dialogs.SetIcon(dialog, iconId);
}

std::string JournalDialogs::LoadString(int id, std::uint32_t capacity) {
  return below_.platform.dialogs.LoadString(id, capacity);
}

void JournalDialogs::SetWaitCursor(bool on) {
  below_.platform.dialogs.SetWaitCursor(on);
  if (on != waitCursor_) {
    waitCursor_ = on;
    below_.journal.Record("ui", on ? "wait cursor" : "arrow cursor");
  }
}

}  // namespace journal
