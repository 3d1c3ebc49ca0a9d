// The list of recent install locations that Windows offers when it asks for driver files:
// HKEY_USERS ".DEFAULT\InstallLocationsMRU", values "a" to "z" and their order in "MRUList".
#pragma once

#include <string>

#include "platform/Registry.h"

namespace install {

// Adds `location` (a folder ending in a backslash) to the list unless it is there already in
// any letter case: into the first free letter, which then comes first in "MRUList"; with all 26
// letters taken by other folders, into "a". A missing key is passed over.
void RecordInstallLocation(platform::Registry& registry, const std::string& location);

}  // namespace install
