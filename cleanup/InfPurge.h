// What earlier installations of the maker's drivers left in the Windows 9x file system: the
// maker's INF files in the Windows INF folders, with their precompiled companions, and the
// earlier driver files, which go now or, when in use, at the next start.
#pragma once

#include "platform/Platform.h"

namespace cleanup {

// True when an INF file is the maker's: its "Strings" name the maker's legacy device or WDM
// wave device with one of the maker's names, as written.
bool IsMakersInf(platform::Profiles& profiles, const std::string& path);

// Deletes the maker's INF files (and PNF files), retires the earlier driver files (a file that
// cannot go now is renamed by WININIT.INI at the next start), and takes the maker's programs
// out of WIN.INI's "run".
void PurgeInfFiles(platform::Platform& platform);

}  // namespace cleanup
