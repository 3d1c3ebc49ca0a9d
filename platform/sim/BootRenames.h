// The renames and deletions that wait for the next start, read as each family reads them: the
// NT session manager's pending-rename list (PendingFileRenameOperations), and the [rename]
// section of WININIT.INI, which WININIT.EXE carries out in real mode before Windows 9x starts.
// What a reader passes over is said, so that a restart can journal it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct BootRename {
  std::string source;
  std::string target;   // empty: the source is deleted
  bool replace = true;  // an existing target is replaced (NT: only when marked with "!")
};

struct BootRenameList {
  std::vector<BootRename> renames;      // in the order they are carried out
  std::vector<std::string> passedOver;  // what the next start leaves alone, and why
};

// The session manager reads its value string by string to the end of the data, each pair a
// source and a target ("\??\" before each path, "!" before a target to replace, an empty target
// to delete). A value of another type, and the last string of an odd count, rename nothing.
BootRenameList ReadPendingFileRenames(std::uint32_t type, const std::vector<std::uint8_t>& data);

// WININIT.EXE reads WININIT.INI a line at a time into a buffer of this many characters with the
// terminating zero; a longer line renames nothing, and the lines after it are read as usual.
inline constexpr std::size_t kWininitLineCapacity = 256;

// Every "target=source" line of [rename] in file order, also a target that an earlier line has
// already ("NUL" as the target deletes the source); a line without "=" is passed over.
BootRenameList ReadWininit(std::string_view text);

}  // namespace sim
