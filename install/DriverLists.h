// The multimedia system's driver lists on Windows NT: the "Drivers32" key, which names the
// library of each driver kind ("wave", "midi"...), and the "Drivers.Desc" key, which describes
// each library. A kind may have several libraries: its value and the nine numbered after it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace install {

inline constexpr const char* kDriverListKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
inline constexpr const char* kDriverDescriptionKey =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers.Desc";

// Puts `text` in one of the ten slots of `name` under HKEY_LOCAL_MACHINE `subKey`: `name`
// itself, then `name` followed by 1 to 9. 0 when the text is there already or has been written
// into the first free slot; -1 when all ten slots hold other texts, or the key does not open or
// take the value.
int AddDriverValue(platform::Registry& registry, const std::string& subKey, const std::string& name,
                   const std::string& text);

// The library in the driver list under each of its kinds, in order, then its description. 0 on
// success; the first failure stops the registration there and is returned.
int RegisterDriverLibrary(platform::Registry& registry, const std::string& library,
                          const std::vector<std::string>& kinds, const std::string& description);

}  // namespace install
