#include "platform/sim/SimDialogs.h"

#include <algorithm>
#include <utility>

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr std::uint32_t kGroup = win::WS_GROUP;
constexpr std::uint32_t kDisabled = win::WS_DISABLED;
constexpr std::uint32_t kSystemMenu = win::WS_SYSMENU;
constexpr std::uint32_t kButtonType = win::BS_TYPEMASK;
constexpr std::uint32_t kAutoCheckBox = win::BS_AUTOCHECKBOX;
constexpr std::uint32_t kAutoRadioButton = win::BS_AUTORADIOBUTTON;
constexpr int kClicked = 0;  // BN_CLICKED

}  // namespace

bool ParseDialogAction(const std::string& text, DialogAction& action) {
  std::string lower = Upper(text);
  if (lower == "CLOSE") {
    action = DialogAction::Close();
    return true;
  }
  std::size_t colon = text.find(':');
  if (colon == std::string::npos) {
    return false;
  }
  std::string verb = Upper(text.substr(0, colon));
  std::string number = text.substr(colon + 1);
  if (number.empty() || number.size() > 10) {
    return false;
  }
  std::size_t used = 0;
  long value = 0;
  try {
    value = std::stol(number, &used, 0);
  } catch (...) {
    return false;
  }
  if (used != number.size() || value < 0 || value > 0xFFFF) {
    return false;
  }
  if (verb == "CLICK") {
    action = DialogAction::Click(static_cast<int>(value));
    return true;
  }
  if (verb == "OWNER") {
    action = DialogAction::ClickOwner(static_cast<int>(value));
    return true;
  }
  if (verb == "SYSCOMMAND") {
    action = DialogAction::SysCommand(static_cast<int>(value));
    return true;
  }
  return false;
}

SimDialogs::SimDialogs(SimCore& core) : core_(core) {}

SimDialogs::~SimDialogs() = default;

bool SimDialogs::LoadResources(const std::uint8_t* data, std::size_t size, std::string& error) {
  auto resources = std::make_shared<Resources>();
  if (!resources->Load(data, size, error)) {
    return false;
  }
  resources_ = std::move(resources);
  return true;
}

void SimDialogs::UseResources(std::shared_ptr<const Resources> resources) {
  resources_ = std::move(resources);
}

void SimDialogs::Script(int templateId, const std::vector<DialogAction>& actions) {
  auto& script = scripts_[templateId];
  script.insert(script.end(), actions.begin(), actions.end());
}

std::size_t SimDialogs::ScriptLeft(int templateId) const {
  auto it = scripts_.find(templateId);
  return it == scripts_.end() ? 0 : it->second.size();
}

std::string SimDialogs::Name(const Open& open) const {
  return "dialog " + std::to_string(open.source->id) + " \"" + open.snapshot.caption + "\"";
}

SimDialogs::Open* SimDialogs::Find(platform::WindowHandle dialog) {
  for (auto& open : open_) {
    if (open->handle == dialog.value) {
      return open.get();
    }
  }
  return nullptr;
}

SimDialogs::Control* SimDialogs::ControlOf(Open& open, int id) {
  for (Control& control : open.controls) {
    if (control.source.id == id) {
      return &control;
    }
  }
  return nullptr;
}

int SimDialogs::DoModal(int templateId, platform::WindowHandle owner,
                        platform::DialogEvents& events) {
  if (core_.Injected(Call::DialogBoxParamA)) {
    return -1;
  }
  const DialogTemplate* source = resources_->Dialog(templateId, language_);
  if (source == nullptr) {
    core_.Record("ui", "dialog " + std::to_string(templateId) + " cannot be created: no template");
    core_.lastError = 1812;  // ERROR_RESOURCE_NAME_NOT_FOUND
    return -1;
  }
  auto owned = std::make_unique<Open>();
  Open& open = *owned;
  open.handle = nextHandle_;
  nextHandle_ += 0x10;
  open.source = source;
  open.events = &events;
  for (const DialogControl& control : source->controls) {
    open.controls.push_back(Control{control, 0, (control.style & kDisabled) == 0});
  }
  open.snapshot.templateId = templateId;
  open.snapshot.caption = source->caption;
  open.snapshot.owner = owner.value;
  // A modal dialog disables its owner while it runs, so that the window behind it takes no
  // input; the owner is enabled again when the dialog ends.
  if (Open* ownerDialog = Find(owner); ownerDialog != nullptr && ownerDialog->enabled) {
    ownerDialog->enabled = false;
    open.disabledOwner = ownerDialog;
  }
  open_.push_back(std::move(owned));
  core_.Record("ui", Name(open) + " opens");

  const platform::WindowHandle handle{open.handle};
  auto close = [this, &open]() {
    // Whatever happens, the dialog is taken down again when DoModal is left.
    for (const Control& control : open.controls) {
      open.snapshot.checked[control.source.id] = control.checked;
      open.snapshot.enabled[control.source.id] = control.enabled;
    }
    open.snapshot.result = open.result;
    if (open.disabledOwner != nullptr) {
      open.disabledOwner->enabled = true;
    }
    shown_.push_back(open.snapshot);
    open_.erase(std::find_if(open_.begin(), open_.end(),
                             [&open](const auto& item) { return item.get() == &open; }));
  };
  try {
    events.OnInitDialog(handle);
    while (!open.ended) {
      auto& script = scripts_[templateId];
      if (script.empty()) {
        throw UnscriptedDialog(Name(open) + " is shown with no action left in its script");
      }
      DialogAction action = script.front();
      script.pop_front();
      switch (action.kind) {
        case DialogAction::Kind::Click:
          Click(open, action.id);
          break;
        case DialogAction::Kind::ClickOwner: {
          Open* ownerDialog = Find(owner);
          if (ownerDialog == nullptr) {
            throw UnscriptedDialog(Name(open) + " has no owner window to click in");
          }
          Click(*ownerDialog, action.id);
          break;
        }
        case DialogAction::Kind::Close:
          core_.Record("ui", "close " + Name(open));
          Close(open);
          break;
        case DialogAction::Kind::SysCommand:
          SystemCommand(open, static_cast<std::uint32_t>(action.id));
          break;
      }
    }
  } catch (...) {
    close();
    throw;
  }
  int result = open.result;
  core_.Record("ui", Name(open) + " ends with " + std::to_string(result));
  close();
  return result;
}

void SimDialogs::Click(Open& open, int id) {
  Control* control = ControlOf(open, id);
  if (control == nullptr) {
    throw UnscriptedDialog(Name(open) + " has no control " + std::to_string(id) + " to click");
  }
  std::string what =
      "click " + std::to_string(id) + " \"" + control->source.text + "\" in " + Name(open);
  if (!open.enabled) {
    core_.Record("ui", what + ": the window is disabled, nothing happens");
    return;
  }
  if (!control->enabled) {
    core_.Record("ui", what + ": disabled, nothing happens");
    return;
  }
  core_.Record("ui", what);
  std::uint32_t type = control->source.style & kButtonType;
  if (control->source.className == "Button" && type == kAutoCheckBox) {
    control->checked = control->checked ? 0 : 1;
  } else if (control->source.className == "Button" && type == kAutoRadioButton) {
    // The group: from the control that starts it up to the next one that starts another.
    auto self = open.controls.begin() + (control - open.controls.data());
    auto first = self;
    while (first != open.controls.begin() && (first->source.style & kGroup) == 0) {
      --first;
    }
    auto last = self + 1;
    while (last != open.controls.end() && (last->source.style & kGroup) == 0) {
      ++last;
    }
    for (auto it = first; it != last; ++it) {
      if (it->source.className == "Button" &&
          (it->source.style & kButtonType) == kAutoRadioButton) {
        it->checked = 0;
      }
    }
    control->checked = 1;
  }
  if (!open.events->OnCommand(platform::WindowHandle{open.handle}, id, kClicked)) {
    DefaultCommand(open, id);
  }
}

void SimDialogs::SystemCommand(Open& open, std::uint32_t command) {
  core_.Record("ui", "system command " + std::to_string(command) + " to " + Name(open));
  const platform::WindowHandle handle{open.handle};
  if (open.events->OnSysCommand(handle, command & 0xFFF0)) {
    return;
  }
  // The default processing: closing from the system menu or the title bar is WM_CLOSE.
  if ((command & 0xFFF0) == win::SC_CLOSE) {
    Close(open);
  }
}

std::optional<std::intptr_t> SimDialogs::SendMessage(platform::WindowHandle window,
                                                     std::uint32_t message, std::uintptr_t wParam) {
  Open* open = Find(window);
  if (open == nullptr) {
    return std::nullopt;
  }
  if (message == win::WM_CLOSE) {
    Close(*open);
  } else if (message == win::WM_SYSCOMMAND) {
    SystemCommand(*open, static_cast<std::uint32_t>(wParam));
  } else if (message == win::WM_COMMAND) {
    int id = static_cast<int>(wParam & 0xFFFF);
    if (!open->events->OnCommand(window, id, static_cast<int>(wParam >> 16))) {
      DefaultCommand(*open, id);
    }
  }
  return 0;
}

void SimDialogs::DefaultCommand(Open& open, int id) {
  if (id == win::IDOK || id == win::IDCANCEL) {
    open.ended = true;
    open.result = id;
  }
}

void SimDialogs::EndDialog(platform::WindowHandle dialog, int result) {
  if (core_.Injected(Call::EndDialog)) {
    return;
  }
  if (Open* open = Find(dialog)) {
    open->ended = true;
    open->result = result;
  }
}

void SimDialogs::SendClose(platform::WindowHandle dialog) {
  if (core_.Injected(Call::SendMessageA)) {
    return;
  }
  if (Open* open = Find(dialog)) {
    Close(*open);
  }
}

void SimDialogs::Close(Open& open) {
  // The dialog manager turns WM_CLOSE into the Cancel command.
  if (!open.events->OnCommand(platform::WindowHandle{open.handle}, win::IDCANCEL, kClicked)) {
    DefaultCommand(open, win::IDCANCEL);
  }
}

SimDialogs::Control* SimDialogs::ControlAt(platform::WindowHandle dialog, int id) {
  Open* open = Find(dialog);
  return open != nullptr ? ControlOf(*open, id) : nullptr;
}

void SimDialogs::CheckButton(platform::WindowHandle dialog, int id, int state) {
  if (core_.Injected(Call::CheckDlgButton)) {
    return;
  }
  if (Control* control = ControlAt(dialog, id)) {
    control->checked = state;
  }
}

int SimDialogs::IsButtonChecked(platform::WindowHandle dialog, int id) {
  if (core_.Injected(Call::IsDlgButtonChecked)) {
    return 0;
  }
  Control* control = ControlAt(dialog, id);
  return control != nullptr ? control->checked : 0;
}

void SimDialogs::EnableControl(platform::WindowHandle dialog, int id, bool enable) {
  if (core_.Injected(Call::EnableWindow)) {
    return;
  }
  if (Control* control = ControlAt(dialog, id)) {
    control->enabled = enable;
  }
}

bool SimDialogs::IsControlEnabled(platform::WindowHandle dialog, int id) {
  if (core_.Injected(Call::IsWindowEnabled)) {
    return false;
  }
  Control* control = ControlAt(dialog, id);
  return control != nullptr && control->enabled;
}

bool SimDialogs::IsWindowEnabled(platform::WindowHandle window) {
  if (core_.Injected(Call::IsWindowEnabled)) {
    return false;
  }
  Open* open = Find(window);
  return open != nullptr && open->enabled;
}

void SimDialogs::SetWindowText(platform::WindowHandle window, const std::string& text) {
  if (core_.Injected(Call::SetWindowTextA)) {
    return;
  }
  if (Open* open = Find(window)) {
    open->snapshot.caption = text;
  }
}

std::string SimDialogs::GetText(platform::WindowHandle dialog, int id, std::uint32_t capacity) {
  if (core_.Injected(Call::GetWindowTextA) || capacity == 0) {
    return std::string();
  }
  Open* open = Find(dialog);
  if (open == nullptr) {
    return std::string();
  }
  const Control* control = id == 0 ? nullptr : ControlOf(*open, id);
  if (id != 0 && control == nullptr) {
    return std::string();
  }
  const std::string& text = id == 0 ? open->snapshot.caption : control->source.text;
  return text.substr(0, capacity - 1);
}

void SimDialogs::MoveWindow(platform::WindowHandle dialog, int id, int x, int y, int width,
                            int height) {
  if (core_.Injected(Call::MoveWindow)) {
    return;
  }
  if (Open* open = Find(dialog)) {
    open->snapshot.placed[id] = platform::Rect{x, y, x + width, y + height};
  }
}

void SimDialogs::AppendSystemMenuItem(platform::WindowHandle dialog, std::uint32_t command,
                                      const std::string& text) {
  if (core_.Injected(Call::AppendMenuA)) {
    return;
  }
  Open* open = Find(dialog);
  if (open != nullptr && (open->source->style & kSystemMenu) != 0) {
    open->snapshot.systemMenu.push_back("-");
    open->snapshot.systemMenu.push_back(std::to_string(command) + " " + text);
  }
}

void SimDialogs::SetIcon(platform::WindowHandle dialog, int iconId) {
  if (core_.Injected(Call::LoadIconA)) {
    return;
  }
  if (Open* open = Find(dialog)) {
    open->snapshot.icon = resources_->HasIcon(iconId) ? iconId : 0;
  }
}

std::string SimDialogs::LoadString(int id, std::uint32_t capacity) {
  if (core_.Injected(Call::LoadStringA)) {
    return std::string();
  }
  std::string text = resources_->String(id).value_or("");
  if (capacity == 0) {
    return std::string();
  }
  if (text.size() > capacity - 1) {
    text.resize(capacity - 1);
  }
  return text;
}

void SimDialogs::SetWaitCursor(bool on) {
  if (core_.Injected(Call::LoadCursorA)) {
    return;
  }
  if (on != waitCursor_) {
    waitCursor_ = on;
    core_.Record("ui", on ? "wait cursor" : "arrow cursor");
  }
}

}  // namespace sim
