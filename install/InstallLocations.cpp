#include "install/InstallLocations.h"

#include <optional>

#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

constexpr const char* kLocationsKey = ".DEFAULT\\InstallLocationsMRU";
constexpr std::uint32_t kValueBuffer = 260;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

void RecordInstallLocation(platform::Registry& registry, const std::string& location) {
  app::ScopedKey key(registry, win::HKEY_USERS, kLocationsKey, win::KEY_ALL_ACCESS);
  if (!key.IsOpen()) {
    return;
  }
  std::string order;  // the letters of the other folders, in alphabetical order
  std::optional<char> free;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string value;
    std::int32_t status =
        app::QueryRegText(registry, key.Get(), std::string(1, letter), kValueBuffer, value);
    // Only a letter without a value, or with an empty one, is free: a value that cannot be
    // read (too long, or refused) is another folder's, and is not overwritten.
    const bool missing = status == static_cast<std::int32_t>(win::ERROR_FILE_NOT_FOUND);
    if (missing || (status == 0 && value.empty())) {
      if (!free) {
        free = letter;
      }
      continue;
    }
    if (status == 0 && EqualIgnoringCase(value, location)) {
      return;  // listed already
    }
    order += letter;
  }
  if (free) {
    app::WriteRegText(registry, key.Get(), std::string(1, *free), location, win::REG_SZ);
    app::WriteRegText(registry, key.Get(), "MRUList", *free + order, win::REG_SZ);
  } else {
    app::WriteRegText(registry, key.Get(), "a", location, win::REG_SZ);
  }
}

}  // namespace install
