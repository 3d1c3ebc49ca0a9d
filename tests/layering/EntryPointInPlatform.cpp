// What the program's entry point includes, as it stood when it lived in platform/win32/: the
// layering check must refuse every one of these includes from a file of platform/.
#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "ui/StartupDialogs.h"
