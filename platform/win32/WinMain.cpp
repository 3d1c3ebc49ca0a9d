// Setup.exe: the launcher's entry point on Windows.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  static win32::Win32Platform machine(__argv != nullptr && __argc > 0 ? __argv[0] : "",
                                      commandLine != nullptr ? commandLine : "");
  (void)machine;
  return 0;
}
