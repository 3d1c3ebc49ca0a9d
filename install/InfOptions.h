// The user's jack and port choices written into a WDM driver INF file: two values of its
// "[CONFIG1.AddReg]" section, one digit each, edited in place.
#pragma once

#include <string>

#include "install/MainDialogState.h"
#include "platform/Platform.h"

namespace install {

// The digit of "EnableLegacy": bit 1 always, bit 0 the GAME port, bit 2 the MIDI port.
char EnableLegacyDigit(const JackOptions& options);
// The digit of "JackConfig": bit 0 line-in/rear, bit 1 line-in/center-subwoofer, bit 2
// microphone/subwoofer.
char JackConfigDigit(const JackOptions& options);

// Writes both digits into the first "EnableLegacy" and "JackConfig" lines that follow the
// section header, at the value's column (the 49th character of the line). The file keeps its
// length and every other byte; a line too short to hold the column is left alone, and so is
// a file that cannot be opened.
void PatchInfOptions(platform::Platform& platform, const std::string& path,
                     const JackOptions& options);

}  // namespace install
