// Registry service: RegOpenKeyExA, RegCreateKeyExA, RegQueryValueExA, RegSetValueExA,
// RegEnumKeyExA, RegEnumValueA, RegDeleteValueA, RegDeleteKeyA, RegCloseKey.
//
// Every call returns the Win32 result code (win::ERROR_SUCCESS on success). Names are
// case-insensitive and keep their case. Buffer limits are the caller's: a read into a buffer that
// is too small fails with win::ERROR_MORE_DATA, as on Windows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handle.h"

namespace platform {

struct RegData {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;  // the data read; empty unless the read succeeded
  std::uint32_t size = 0;           // the value's size in bytes (also set on ERROR_MORE_DATA)
};

class Registry {
 public:
  virtual ~Registry() = default;

  virtual std::int32_t OpenKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                               RegKey& result) = 0;
  // A non-volatile key; `disposition` receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
  virtual std::int32_t CreateKey(RegKey parent, const std::string& subKey, std::uint32_t access,
                                 RegKey& result, std::uint32_t* disposition = nullptr) = 0;
  // Reads at most `capacity` bytes of data.
  virtual std::int32_t QueryValue(RegKey key, const std::string& name, std::uint32_t capacity,
                                  RegData& result) = 0;
  virtual std::int32_t SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) = 0;
  // Subkey `index`; `nameCapacity` counts the terminating zero, as RegEnumKeyExA does.
  virtual std::int32_t EnumKey(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                               std::string& name) = 0;
  virtual std::int32_t EnumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                 std::string& name, std::uint32_t* type = nullptr) = 0;
  virtual std::int32_t DeleteValue(RegKey key, const std::string& name) = 0;
  // Removes the key together with all its subkeys, as Windows 9x does, on every backend. An
  // empty `subKey` removes the key that `key` itself names.
  virtual std::int32_t DeleteKey(RegKey key, const std::string& subKey) = 0;
  virtual std::int32_t CloseKey(RegKey key) = 0;
};

}  // namespace platform
