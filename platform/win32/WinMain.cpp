// Setup.exe: the launcher's entry point on Windows.
#include "app/SetupApp.h"
#include "detect/DetectingServices.h"
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace {

// Start-up's windows as far as this build has them: the dialogs come with their own work. Until
// then the no-chip notice is a message box with the notice's text.
class Win32StartupServices : public detect::DetectingServices {
 public:
  explicit Win32StartupServices(platform::Platform& platform) : DetectingServices(platform) {}
  void ShowNoChipDialog() override {
    platform_.ui.ShowMessageBox(
        {},
        "Our audio chip provides multi-speaker surround and realistic sound effects. Due to the "
        "fact that your computer is not equipped with our audio chip, you can not avail yourself "
        "of these advanced features.\n\nFor more information, please contact your computer "
        "dealer.",
        "Information - Can not find audio chip", MB_OK | MB_ICONINFORMATION);
  }
  void RunMainDialog(app::InstallContext&, app::DetectionState&) override {}
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  static Win32StartupServices services(machine.Platform());
  static app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  return 0;
}
