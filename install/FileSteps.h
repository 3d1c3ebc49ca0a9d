// The file operations the staging steps are made of: copies that replace what is there, the
// files of a folder, and paths that must fit the 260-character buffers they are built in.
#pragma once

#include <functional>
#include <string>

#include "platform/Files.h"

namespace install {

// True when the path fits a 260-character buffer with its terminating zero. A path that does
// not is never used: it would be cut, and name some other file.
bool FitsPath(const std::string& path);

// The target's attributes reset (a read-only file there can then be overwritten), then the copy
// over it; the copy's result. Nothing is done with a path that does not fit.
bool ReplaceCopy(platform::Files& files, const std::string& source, const std::string& target);
// The same, and the copy's attributes reset again: a copy from a disc is read-only.
bool NormalisedReplaceCopy(platform::Files& files, const std::string& source,
                           const std::string& target);

// Calls `visit` with the name of every entry of `folder` (ending in a backslash) + `pattern` that
// is not a folder, in the order the search returns them; subfolders are not entered.
void ForEachFile(platform::Files& files, const std::string& folder,
                 const std::function<void(const std::string& name)>& visit,
                 const std::string& pattern = "*.*");

// An INF file, by the names the staging knows them by: ".inf" or ".INF" in the name, as written.
bool IsInfName(const std::string& name);
// A name with "setup" in it, in any case: the launcher's and the driver's setup files, which
// Windows' setup source folder does not take.
bool NamesSetup(const std::string& name);

// A folder exists when it can be made the current directory (which it then is).
bool FolderExists(platform::Files& files, const std::string& folder);

}  // namespace install
