// Where the launcher's PCI configuration and port operations go. The shipped Setup.exe uses the
// machine's own (program/BoardPlatform.cpp). A test-only build of the same entry point links
// another definition that puts a simulated PCI bus in their place (tests/wine/SimulatedBoard.cpp):
// Wine gives a program no ports, and the Windows 9x routes detect the chip through them.
#pragma once

#include "platform/Platform.h"

namespace program {

// The platform the launcher runs on, made from the real machine's.
platform::Platform& BoardPlatform(platform::Platform& machine);

}  // namespace program
