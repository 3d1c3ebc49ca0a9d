// The driver-signing exceptions Windows keeps by hardware ID: the maker's entries are removed
// before a driver is installed, so that Windows asks again about the new driver's signature.
#pragma once

#include "platform/Registry.h"

namespace install {

// Removes every value of HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Driver Signing\Classes\HWID"
// whose name contains "PCI\VEN_7C5A" (case as written); a missing key is passed over.
void RemoveDriverSigningEntries(platform::Registry& registry);

}  // namespace install
