#include "install/DriverSetupPrograms.h"

namespace install {

const char* DriverSetupProgram(int isNT5) {
  return isNT5 ? "W2KSetup.dat" : "MESetup.dat";
}

void StartDriverSetupProgram(platform::Platform& platform, const std::string& path,
                             const std::string& switchText) {
  const bool blank = path.find(' ') != std::string::npos;
  const std::string program = blank ? "\"" + path + "\"" : path;
  platform.processes.WinExec(program + switchText, win::SW_SHOW);
}

}  // namespace install
