// The NT 4.0 branch of the install-driver command: the launcher puts the driver in place
// itself. The kernel driver goes into the system's driver folder, the user-mode driver library
// into the system folder and, for the maker's PCI chip, the uninstaller into the Windows folder.
// When one of the maker's drivers is active, the new files are swapped in at the next start;
// otherwise they are copied in place, the library is registered with the multimedia system and
// asked to install and configure itself, and the PCI chip's driver gets its uninstall entry.
#pragma once

#include <string>

#include "install/Session.h"
#include "platform/Platform.h"

namespace install {

void InstallNt4Driver(Session& session);

// A mixer of one of the maker's drivers: "Orvanta" in its product name, in this case, or the
// name beginning with one of the maker's mixer names in any case.
bool IsMakersMixer(const std::string& productName);
// The installed-driver check: some mixer device, among those whose capabilities can be read,
// is one of the maker's.
bool MakersDriverIsActive(platform::Multimedia& multimedia);

// Opens the library installed in the system folder and sends it DRV_INSTALL, then
// DRV_QUERYCONFIGURE and, when it has a configuration dialog, DRV_CONFIGURE, owned by
// `parentWindow`. 0 when it was opened and sent its messages, -1 when the Windows folder is not
// available or the library does not open.
int SendDriverInstallMessages(platform::Platform& platform, const std::string& library,
                              platform::WindowHandle parentWindow);

}  // namespace install
