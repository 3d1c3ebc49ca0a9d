// The VxD driver staged for Windows' own hardware installation at the next start: what earlier
// drivers of the maker left removed, the driver files copied from the disc into
// "C:\Program Files\Orvanta\WIN_9x\", and the INF files placed in the Windows INF folders with
// their source disk pointed there.
#pragma once

#include "install/Session.h"

namespace install {

void StageVxdDriver(Session& session);

}  // namespace install
