// Paths of the simulated file system, taken apart as Windows takes them: a drive ("C:") or a
// network share ("\\server\share") as the root, paths relative to the current directory, to a
// drive or to the current root, and "." and "..".
#include <algorithm>

#include "platform/WinConstants.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

bool BadNameChar(unsigned char c, bool allowWildcards) {
  if (c < 0x20) {
    return true;
  }
  if (allowWildcards && (c == '*' || c == '?')) {
    return false;
  }
  return std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

bool IsKeptName(std::string_view name) {
  return !name.empty() && name.back() != '.' && name.back() != ' ' &&
         std::none_of(name.begin(), name.end(), [](char c) {
           return c == '\\' || c == '/' || BadNameChar(static_cast<unsigned char>(c), false);
         });
}

bool IsUncPath(std::string_view path) {
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
         (path[1] == '\\' || path[1] == '/');
}

SimFileSystem::Rooted SimFileSystem::SplitRoot(const std::string& path) {
  if (IsUncPath(path)) {
    // "\\server\share\rest": the share is the root, as a drive is.
    std::size_t serverEnd = std::min(path.find('\\', 2), path.size());
    std::size_t shareEnd =
        std::min(path.find('\\', std::min(serverEnd + 1, path.size())), path.size());
    Rooted rooted{path.substr(0, shareEnd), path.substr(shareEnd)};
    rooted.complete = serverEnd > 2 && shareEnd > serverEnd + 1;
    return rooted;
  }
  return Rooted{Upper(path.substr(0, 1)) + ":", path.substr(2)};
}

SimFileSystem::Rooted SimFileSystem::Absolute(const std::string& path) const {
  // The current directory is always a full path.
  const Rooted current = SplitRoot(currentFolder_);
  if (path.size() >= 2 && path[1] == ':') {
    Rooted rooted = SplitRoot(path);
    if (rooted.rest.empty() || rooted.rest[0] != '\\') {
      // Drive-relative: relative to the current directory when it is on that drive, else to
      // the root of the drive.
      rooted.rest = (EqualsNoCase(current.root, rooted.root) ? current.rest : std::string()) +
                    "\\" + rooted.rest;
    }
    return rooted;
  }
  if (IsUncPath(path)) {
    return SplitRoot(path);
  }
  if (!path.empty() && path[0] == '\\') {
    return Rooted{current.root, path};  // from the root of the current drive or share
  }
  return Rooted{current.root, current.rest + "\\" + path};
}

SimFileSystem::Parsed SimFileSystem::Parse(const std::string& path, bool pattern) const {
  Parsed parsed;
  // The ANSI calls convert the path into a buffer of MAX_PATH characters.
  if (path.size() > win::MAX_PATH) {
    parsed.error = win::ERROR_FILENAME_EXCED_RANGE;
    return parsed;
  }
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.empty()) {
    parsed.error = win::ERROR_PATH_NOT_FOUND;
    return parsed;
  }
  Rooted rooted = Absolute(text);
  parsed.root = rooted.root;
  if (!rooted.complete) {
    parsed.error = win::ERROR_BAD_NETPATH;  // "\\server" alone names no share
    return parsed;
  }
  for (std::string_view part : SplitViews(rooted.rest, '\\')) {
    // Trailing dots and blanks of a name do not count.
    if (part != "." && part != "..") {
      while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
        part.remove_suffix(1);
      }
    }
    if (part.empty() || part == ".") {
      continue;
    }
    if (part == "..") {
      if (!parsed.parts.empty()) {
        parsed.parts.pop_back();
      }
      continue;
    }
    parsed.parts.emplace_back(part);
  }
  for (std::size_t i = 0; i < parsed.parts.size(); ++i) {
    for (char c : parsed.parts[i]) {
      if (BadNameChar(static_cast<unsigned char>(c), pattern && i + 1 == parsed.parts.size())) {
        parsed.error = win::ERROR_INVALID_NAME;
        return parsed;
      }
    }
  }
  if (JoinedLength(parsed.root, parsed.parts) >= win::MAX_PATH) {
    parsed.error = win::ERROR_FILENAME_EXCED_RANGE;
  }
  return parsed;
}

std::size_t SimFileSystem::JoinedLength(const std::string& root,
                                        const std::vector<std::string>& parts) {
  std::size_t length = root.size();
  for (const std::string& part : parts) {
    length += 1 + part.size();
  }
  return parts.empty() && !IsUncPath(root) ? length + 1 : length;
}

std::string SimFileSystem::Join(const std::string& root, const std::vector<std::string>& parts,
                                std::size_t count) {
  std::string result = root;
  for (std::size_t i = 0; i < count; ++i) {
    result += "\\" + parts[i];
  }
  // The root of a drive is "C:\"; the root of a share has no backslash of its own, as
  // GetCurrentDirectoryA gives it.
  if (count == 0 && !IsUncPath(root)) {
    result += "\\";
  }
  return result;
}

std::string SimFileSystem::FullPath(const std::string& path) const {
  Parsed parsed = Parse(path);
  return parsed.error ? std::string() : Join(parsed.root, parsed.parts, parsed.parts.size());
}

std::optional<std::string> SimFileSystem::FullPathName(const std::string& path) const {
  std::string text = path;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (text.find_first_not_of(' ') == std::string::npos) {
    return std::nullopt;  // nothing but blanks names nothing
  }
  // The text the names are collapsed in: the path after the current directory, the root of a
  // drive, or the root of the current drive or share.
  const Rooted current = SplitRoot(currentFolder_);
  const std::string currentWithBackslash =
      currentFolder_ + (currentFolder_.back() == '\\' ? "" : "\\");
  std::string full;
  if (text.size() >= 2 && text[1] == ':') {
    std::string drive = Upper(text.substr(0, 1)) + ":";
    std::string rest = text.substr(2);
    if (!rest.empty() && rest[0] == '\\') {
      full = drive + rest;
    } else {
      // Relative to the current directory when it is on that drive, else to the drive's root.
      full = (EqualsNoCase(current.root, drive) ? currentWithBackslash : drive + "\\") + rest;
    }
  } else if (IsUncPath(text)) {
    full = text;
  } else if (text[0] == '\\') {
    full = current.root + text;
  } else {
    full = currentWithBackslash + text;
  }

  Rooted rooted = SplitRoot(full);
  std::string tail = rooted.rest;
  tail.erase(0, tail.find_first_not_of('\\'));
  tail.erase(
      std::unique(tail.begin(), tail.end(), [](char a, char b) { return a == '\\' && b == '\\'; }),
      tail.end());
  std::vector<std::string> names;
  std::vector<std::string> pieces = Split(tail, '\\');
  bool trailing = false;  // the path ends in a backslash
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string& piece = pieces[i];
    bool last = i + 1 == pieces.size();
    if (piece == "." || piece == "..") {
      if (piece == ".." && !names.empty()) {
        names.pop_back();
      }
      continue;  // a final "." or ".." takes the backslash before it too
    }
    if (last) {
      trailing = piece.empty();
      if (!trailing) {
        names.push_back(piece);
      }
    } else if (!piece.empty()) {
      // A folder name loses one trailing dot.
      names.push_back(piece.back() == '.' ? piece.substr(0, piece.size() - 1) : piece);
    }
  }
  if (!trailing && !names.empty()) {
    // The last name loses its trailing dots and blanks; when nothing is left of it, the
    // backslash before it stays.
    std::string& name = names.back();
    name.erase(name.find_last_not_of(". ") == std::string::npos ? 0
                                                                : name.find_last_not_of(". ") + 1);
    if (name.empty()) {
      names.pop_back();
      trailing = true;
    }
  }
  std::string result = rooted.root;
  // A drive's root keeps its backslash; a share's root only when something follows it.
  if (!IsUncPath(rooted.root) || !names.empty() || trailing) {
    result += "\\";
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    result += names[i] + (i + 1 < names.size() || trailing ? "\\" : "");
  }
  return result;
}

}  // namespace sim
