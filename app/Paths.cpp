#include "app/Paths.h"

#include "platform/WinConstants.h"

namespace app {

void AppendBackslash(std::string& path) {
  if (path.empty() || path.back() != '\\') {
    path += '\\';
  }
}

std::optional<std::string> WindowsFolderWithBackslash(platform::Files& files) {
  std::string folder;
  std::uint32_t length = files.GetWindowsFolder(win::MAX_PATH, folder);
  if (length == 0 || length >= win::MAX_PATH) {
    return std::nullopt;
  }
  AppendBackslash(folder);
  return folder;
}

std::string ShortPathOf(platform::Files& files, const std::string& path) {
  std::string shortPath;
  std::uint32_t length = files.GetShortPath(path, win::MAX_PATH, shortPath);
  return length == 0 || length >= win::MAX_PATH ? path : shortPath;
}

std::string ProgramOnCommandLine(const std::string& path) {
  return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::string WithProgramQuoted(const std::string& command) {
  if (command.empty() || command[0] == '"') {
    return command;
  }
  for (std::size_t at = command.find('.'); at != std::string::npos;
       at = command.find('.', at + 1)) {
    std::string extension = command.substr(at, 4);
    for (char& c : extension) {
      c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    const std::size_t end = at + 4;
    if (extension == ".exe" && (end == command.size() || command[end] == ' ')) {
      return ProgramOnCommandLine(command.substr(0, end)) + command.substr(end);
    }
  }
  return command;
}

bool FileExists(platform::Files& files, const std::string& path) {
  return files.OpenStream(path, "rb") != nullptr;
}

}  // namespace app
