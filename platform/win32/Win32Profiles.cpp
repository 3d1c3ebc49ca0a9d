#include <vector>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

std::string Win32Profiles::GetString(const std::string& section, const std::string& key,
                                     const std::string& defaultText, std::uint32_t capacity,
                                     const std::string& file) {
  if (capacity == 0) {
    return std::string();
  }
  std::vector<char> buffer(capacity, '\0');
  DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                            buffer.data(), capacity, file.c_str());
  return std::string(buffer.data(), length < capacity ? length : capacity - 1);
}

std::uint32_t Win32Profiles::GetInt(const std::string& section, const std::string& key,
                                    std::int32_t defaultValue, const std::string& file) {
  return ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str());
}

bool Win32Profiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                                const std::optional<std::string>& value, const std::string& file) {
  return ::WritePrivateProfileStringA(section.c_str(), key ? key->c_str() : nullptr,
                                      value ? value->c_str() : nullptr, file.c_str()) != FALSE;
}

}  // namespace win32
