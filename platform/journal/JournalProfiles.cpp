#include "platform/WinConstants.h"
#include "platform/journal/JournalingPlatform.h"

namespace journal {

namespace {

// A default no entry holds, to tell a missing entry from an empty one.
constexpr const char* kNoEntry = "\x7F<none>\x7F";
constexpr std::uint32_t kEntryCapacity = 4096;

}  // namespace

std::string JournalProfiles::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultText, std::uint32_t capacity,
                                       const std::string& file) {
  return below_.platform.profiles.GetString(section, key, defaultText, capacity, file);
}

std::uint32_t JournalProfiles::GetInt(const std::string& section, const std::string& key,
                                      std::int32_t defaultValue, const std::string& file) {
  return below_.platform.profiles.GetInt(section, key, defaultValue, file);
}

bool JournalProfiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                  const std::optional<std::string>& value,
                                  const std::string& file) {
  // A file name without a folder is in the Windows folder.
  std::string path = file;
  if (file.find_first_of("\\/") == std::string::npos && !(file.size() >= 2 && file[1] == ':')) {
    std::string windows;
    std::uint32_t length = below_.platform.files.GetWindowsFolder(win::MAX_PATH, windows);
    if (length > 0 && length < win::MAX_PATH) {
      path = windows + "\\" + file;
    }
  }
  path = below_.FullPath(path);
  // An entry written as it stands, or deleted where there is none, changes nothing.
  std::optional<std::string> before;
  if (key) {
    std::string held =
        below_.platform.profiles.GetString(section, *key, kNoEntry, kEntryCapacity, file);
    if (held != kNoEntry) {
      before = held;
    }
  }
  if (!below_.platform.profiles.WriteString(section, key, value, file)) {
    below_.Failed("WritePrivateProfileStringA", path + " [" + section + "]",
                  below_.platform.system.GetLastError());
    return false;
  }
  // A value is written without its outer blanks.
  if (key && value && before) {
    const std::size_t first = value->find_first_not_of(' ');
    const std::string stored = first == std::string::npos
                                   ? std::string()
                                   : value->substr(first, value->find_last_not_of(' ') - first + 1);
    if (*before == stored) {
      return true;
    }
  }
  if (key && !value && !before) {
    return true;
  }
  std::string entry = "[" + section + "]";
  if (key) {
    entry += " " + *key + (value ? "=" + *value : " deleted");
  } else {
    entry += " deleted";
  }
  below_.journal.Record("profile", path + " " + entry);
  return true;
}

}  // namespace journal
