// dialog-viewer (test-only): shows one dialog template of the launcher's real resources with
// its real dialog class, in a language of choice, and prints the dialog's screen rectangle
// once it is up, so that a script can photograph it. It stays open until it is closed.
//   dialog-viewer TEMPLATE [LANGUAGE] [--close]      e.g. dialog-viewer 130 1036
// With --close the dialog is closed again as soon as it is up (a check that it shows).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "install/PendingCommands.h"
#include "platform/win32/Win32Platform.h"
#include "ui/JackOptionsDialog.h"
#include "ui/SecondaryDialogs.h"
#include "ui/SetupMainDialog.h"
#include "ui/resource.h"

#include "platform/win32/WinApi.h"

namespace {

// Passes every message on to the dialog class, and reports where the dialog is once it is up.
class Reporting : public platform::DialogEvents {
 public:
  Reporting(ui::DialogBase& dialog, bool close) : dialog_(dialog), close_(close) {}
  bool OnInitDialog(platform::WindowHandle handle) override {
    bool result = dialog_.OnInitDialog(handle);
    RECT rect{};
    ::GetWindowRect(reinterpret_cast<HWND>(handle.value), &rect);
    std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
    std::fflush(stdout);
    if (close_) {
      ::PostMessageA(reinterpret_cast<HWND>(handle.value), WM_CLOSE, 0, 0);
    }
    return result;
  }
  bool OnCommand(platform::WindowHandle handle, int id, int notification) override {
    return dialog_.OnCommand(handle, id, notification);
  }
  bool OnSysCommand(platform::WindowHandle handle, std::uint32_t command) override {
    return dialog_.OnSysCommand(handle, command);
  }
  int MinimizedIcon() const override { return dialog_.MinimizedIcon(); }

 private:
  ui::DialogBase& dialog_;
  bool close_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: dialog-viewer TEMPLATE [LANGUAGE]\n");
    return 2;
  }
  const int templateId = std::atoi(argv[1]);
  const int language = argc > 2 ? std::atoi(argv[2]) : 1033;
  const bool close = argc > 3 && std::string(argv[3]) == "--close";
  ::SetThreadLocale(MAKELCID(language, SORT_DEFAULT));

  win32::Win32Platform machine(argv[0], "");
  platform::Platform& platform = machine.Platform();
  app::InstallContext context;
  context.sourceDir = "C:\\";
  app::DetectionState detection;
  install::PendingCommands commands;
  std::unique_ptr<ui::DialogBase> dialog;
  switch (templateId) {
    case IDD_SETUP_MAIN:
      dialog = std::make_unique<ui::SetupMainDialog>(platform, context, detection, commands);
      break;
    case IDD_DRIVER_ARCH:
      dialog = std::make_unique<ui::DriverArchDialog>(platform, platform::WindowHandle{});
      break;
    case IDD_RESTART:
      dialog = std::make_unique<ui::RestartDialog>(platform, platform::WindowHandle{});
      break;
    case IDD_JACK_OPTIONS:
      dialog = std::make_unique<ui::JackOptionsDialog>(platform, platform::WindowHandle{});
      break;
    case IDD_NO_CHIP:
      dialog = std::make_unique<ui::NoChipDialog>(platform);
      break;
    case IDD_ABOUT:
      dialog = std::make_unique<ui::AboutDialog>(platform, platform::WindowHandle{});
      break;
    default:
      std::fprintf(stderr, "dialog-viewer: no dialog template %d\n", templateId);
      return 2;
  }
  Reporting reporting(*dialog, close);
  int result = platform.dialogs.DoModal(templateId, {}, reporting);
  std::printf("result %d\n", result);
  return result < 0 ? 1 : 0;
}
