// The disc's two driver setup programs, "MESetup.dat" and "W2KSetup.dat": which one a system
// needs, and how it is started.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace install {

// "W2KSetup.dat" on Windows 2000 and XP, "MESetup.dat" on every other system.
const char* DriverSetupProgram(int isNT5);

// Starts the program with WinExec and SW_SHOW, its path followed by `switchText` (" /DRIVER",
// " /SPEAKER"), without waiting; the result is not looked at. A path with a blank in it is
// quoted: unquoted, Windows would try "C:\Program.exe" first.
void StartDriverSetupProgram(platform::Platform& platform, const std::string& path,
                             const std::string& switchText);

}  // namespace install
