// The WDM driver staged on the hard disk for its own setup program: the driver files, the
// setup program and the option file copied from the disc into "C:\Program Files\Orvanta\WIN_ME\",
// and on Windows 98 and 98 SE the INF files placed in the Windows INF folders with their source
// disks pointed there, so that Windows finds every file without the disc.
#pragma once

#include "install/Session.h"

namespace install {

// `deferDriverSetup`: the state file records the staged setup program for the next start
// instead of a plain restart. `patchInfOptions`: every INF copy gets the jack and port options.
void StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions);

}  // namespace install
