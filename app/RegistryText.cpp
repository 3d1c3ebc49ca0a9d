#include "app/RegistryText.h"

#include <algorithm>

#include "platform/WinConstants.h"

namespace app {

std::int32_t QueryRegText(platform::Registry& registry, platform::RegKey key,
                          const std::string& name, std::uint32_t capacity, std::string& text) {
  platform::RegData data;
  std::int32_t status = registry.QueryValue(key, name, capacity, data);
  if (status == 0) {
    auto end = std::find(data.bytes.begin(), data.bytes.end(), std::uint8_t{0});
    text.assign(data.bytes.begin(), end);
  }
  return status;
}

std::optional<std::string> ReadRegText(platform::Registry& registry, platform::RegKey key,
                                       const std::string& name, std::uint32_t capacity) {
  std::string text;
  if (QueryRegText(registry, key, name, capacity, text) != 0) {
    return std::nullopt;
  }
  return text;
}

std::int32_t WriteRegText(platform::Registry& registry, platform::RegKey key,
                          const std::string& name, const std::string& text, std::uint32_t type) {
  return registry.SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1));
}

ScopedKey::ScopedKey(platform::Registry& registry, platform::RegKey parent,
                     const std::string& subKey, std::uint32_t access)
    : registry_(registry) {
  open_ = registry_.OpenKey(parent, subKey, access, key_) == 0;
}

ScopedKey::~ScopedKey() {
  if (open_) {
    registry_.CloseKey(key_);
  }
}

}  // namespace app
