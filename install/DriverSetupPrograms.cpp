#include "install/DriverSetupPrograms.h"

#include "app/Paths.h"

namespace install {

const char* DriverSetupProgram(int isNT5) {
  return isNT5 ? "W2KSetup.dat" : "MESetup.dat";
}

void StartDriverSetupProgram(platform::Platform& platform, const std::string& path,
                             const std::string& switchText) {
  platform.processes.WinExec(app::ProgramOnCommandLine(path) + switchText, win::SW_SHOW);
}

}  // namespace install
