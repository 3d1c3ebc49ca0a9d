// Setup.exe: the launcher's entry point on Windows.
#include "app/SetupApp.h"
#include "platform/win32/Win32Platform.h"
#include "ui/StartupDialogs.h"

#include "platform/win32/WinApi.h"

namespace {

// The installers' commands come with the installer work; until then the buttons and routes
// that run them do nothing.
class PendingInstallers : public ui::Installers {
 public:
  void OnInstallDriver(ui::SetupMainDialog&) override {}
  void OnInstallApplications(ui::SetupMainDialog&) override {}
  void OnCombinedInstall(ui::SetupMainDialog&) override {}
  void StageWdmDriver(ui::SetupMainDialog&, int, int) override {}
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  static PendingInstallers installers;
  static ui::DialogStartupServices services(machine.Platform(), installers);
  static app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  return 0;
}
