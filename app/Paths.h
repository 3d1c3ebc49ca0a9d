// Path and file helpers the launcher's operations share.
#pragma once

#include <optional>
#include <string>

#include "platform/Files.h"

namespace app {

// Appends a backslash unless the text already ends in one.
void AppendBackslash(std::string& path);
// The Windows folder (GetWindowsDirectoryA into 260 characters) with a backslash appended;
// nothing when the call fails or the folder does not fit.
std::optional<std::string> WindowsFolderWithBackslash(platform::Files& files);
// The short (8.3) form of a path (GetShortPathNameA into 260 characters); the path as given when
// the short form cannot be had, so that what is built on it still names the same place.
std::string ShortPathOf(platform::Files& files, const std::string& path);
// The path as the program part of a command line: quoted when it holds a blank, since Windows
// would otherwise try "C:\Program.exe" for "C:\Program Files\...".
std::string ProgramOnCommandLine(const std::string& path);
// A registered command line (an uninstall string) with its program quoted: unquoted, the program
// is the text up to the first ".exe" that ends a word, and it is quoted when it holds a blank.
// A quoted command, or one without such a program, stays as it is.
std::string WithProgramQuoted(const std::string& command);
// A file exists when it opens for reading in binary mode.
bool FileExists(platform::Files& files, const std::string& path);

}  // namespace app
