// Setup.exe: the launcher's entry point on Windows.
#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/win32/Win32Platform.h"
#include "ui/StartupDialogs.h"

#include "platform/win32/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  static install::SetupCommands commands;
  static ui::DialogStartupServices services(machine.Platform(), commands);
  static app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  return 0;
}
