// Reading and writing registry strings the way the launcher does, safely: a value read is
// taken up to its first zero byte or the end of its data, whichever comes first, so that a
// string stored without its terminating zero cannot run past what was read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Registry.h"

namespace app {

// The text of a value read into a buffer of `capacity` bytes; nothing when the read fails
// (missing value, or data larger than the buffer).
std::optional<std::string> ReadRegText(platform::Registry& registry, platform::RegKey key,
                                       const std::string& name, std::uint32_t capacity);
// The same with the call's result: ERROR_SUCCESS with the text, or why the read failed
// (ERROR_FILE_NOT_FOUND for a missing value, ERROR_MORE_DATA for one larger than the buffer).
std::int32_t QueryRegText(platform::Registry& registry, platform::RegKey key,
                          const std::string& name, std::uint32_t capacity, std::string& text);
// Writes the text with its terminating zero, as RegSetValueExA expects for string types.
std::int32_t WriteRegText(platform::Registry& registry, platform::RegKey key,
                          const std::string& name, const std::string& text, std::uint32_t type);

// A key opened for one operation and closed when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey(platform::Registry& registry, platform::RegKey parent, const std::string& subKey,
            std::uint32_t access);
  ~ScopedKey();
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  bool IsOpen() const { return open_; }
  platform::RegKey Get() const { return key_; }

 private:
  platform::Registry& registry_;
  platform::RegKey key_{};
  bool open_ = false;
};

}  // namespace app
