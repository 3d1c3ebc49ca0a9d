// The programs WIN.INI's "run" starts with Windows: the maker's earlier ones taken out, every
// other program kept in its place.
#pragma once

#include <optional>
#include <string>

#include "platform/Profiles.h"

namespace cleanup {

// The "run" list without the maker's programs (a program named "OVMPU.EXE", "BANKLOAD.EXE" or
// "INITTONE.COM", in any folder and letter case), the others and their separators kept as
// written. Entries are separated by blanks, tabs or commas; an entry may be quoted whole. A list
// whose quotes do not mark whole entries cannot be taken apart safely: nothing is returned.
std::optional<std::string> WithoutMakersPrograms(const std::string& run);

// Rewrites WIN.INI's "run" without the maker's programs; one blank when none is left. An entry
// too long to be read whole, or not taken apart safely, is left as it is.
void RemoveMakersStartupPrograms(platform::Profiles& profiles);

}  // namespace cleanup
