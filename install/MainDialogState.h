// The main dialog's own copy of the installation context, which the install commands read and
// change in place, and the staging folders the drivers are copied into.
#pragma once

#include <string>

#include "app/InstallContext.h"

namespace install {

// How the audio device's phone jacks are wired and whether its MIDI and GAME ports stay
// enabled, as the user described them before the WDM driver's INF files are staged.
struct JackOptions {
  int lineInSharesRearJack = 0;
  int lineInSharesCenterJack = 0;
  int micSharesSubwooferJack = 0;
  int gamePortEnabled = 0;
  int midiPortEnabled = 0;
};

struct MainDialogState : app::WindowsClass, app::InstallOptions {
  std::string sourceDir;
  std::string commandLine;  // at most 1023 characters, as the dialog's buffer holds them
  int precopyCabsPresent = 0;
  int combinedInstall = 0;
  int useVxdDriver = 0;
  // Set when the user cancelled the architecture question: the main window is closing, and no
  // step of a command goes on after it.
  int architectureCancelled = 0;
  JackOptions jackOptions;
};

// The hard-disk folders the drivers are staged into. The drive and the Program Files name are
// fixed; where the path goes to another program, an INF file or the registry, its short form
// is used.
inline constexpr const char* kVxdStagingFolder = "C:\\Program Files\\Orvanta\\WIN_9x\\";
inline constexpr const char* kWdmStagingFolder = "C:\\Program Files\\Orvanta\\WIN_ME\\";

}  // namespace install
