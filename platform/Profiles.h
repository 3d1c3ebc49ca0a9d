// Profile (INI) file service: GetPrivateProfileStringA, GetPrivateProfileIntA,
// WritePrivateProfileStringA. A file name without a folder means the Windows folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class Profiles {
 public:
  virtual ~Profiles() = default;

  // The value of `key`, or `defaultText` when there is none, cut to `capacity` - 1 characters as
  // a buffer of `capacity` characters would hold it.
  virtual std::string GetString(const std::string& section, const std::string& key,
                                const std::string& defaultText, std::uint32_t capacity,
                                const std::string& file) = 0;
  // The value converted as GetPrivateProfileIntA does (decimal, 0x hex, sign; an empty or missing
  // value gives the default). The result is unsigned, as the Win32 call returns it.
  virtual std::uint32_t GetInt(const std::string& section, const std::string& key,
                               std::int32_t defaultValue, const std::string& file) = 0;
  // No value deletes the key; no key deletes the section. Creates the file when missing.
  virtual bool WriteString(const std::string& section, const std::optional<std::string>& key,
                           const std::optional<std::string>& value, const std::string& file) = 0;
};

}  // namespace platform
