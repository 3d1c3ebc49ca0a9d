#include <vector>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

namespace {

HKEY Key(platform::RegKey key) {
  return reinterpret_cast<HKEY>(key.value);
}

platform::RegKey Wrap(HKEY key) {
  return platform::RegKey{reinterpret_cast<std::uintptr_t>(key)};
}

// Removes a key with its subkeys: Windows 9x does so itself, the NT family refuses a key that
// still has subkeys.
LONG DeleteTree(HKEY parent, const char* subKey) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(parent, subKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    for (;;) {
      char name[256];
      DWORD length = sizeof name;
      if (::RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
              ERROR_SUCCESS ||
          DeleteTree(key, name) != ERROR_SUCCESS) {
        break;
      }
    }
    ::RegCloseKey(key);
  }
  return ::RegDeleteKeyA(parent, subKey);
}

}  // namespace

std::int32_t Win32Registry::OpenKey(platform::RegKey parent, const std::string& subKey,
                                    std::uint32_t access, platform::RegKey& result) {
  HKEY key = nullptr;
  LONG status = ::RegOpenKeyExA(Key(parent), subKey.c_str(), 0, access, &key);
  result = status == ERROR_SUCCESS ? Wrap(key) : platform::RegKey{};
  return status;
}

std::int32_t Win32Registry::CreateKey(platform::RegKey parent, const std::string& subKey,
                                      std::uint32_t access, platform::RegKey& result,
                                      std::uint32_t* disposition) {
  HKEY key = nullptr;
  DWORD how = 0;
  LONG status = ::RegCreateKeyExA(Key(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  access, nullptr, &key, &how);
  result = status == ERROR_SUCCESS ? Wrap(key) : platform::RegKey{};
  if (disposition != nullptr) {
    *disposition = how;
  }
  return status;
}

std::int32_t Win32Registry::QueryValue(platform::RegKey key, const std::string& name,
                                       std::uint32_t capacity, platform::RegData& result) {
  std::vector<BYTE> buffer(capacity > 0 ? capacity : 1);
  DWORD type = 0;
  DWORD size = capacity;
  LONG status = ::RegQueryValueExA(Key(key), name.c_str(), nullptr, &type, buffer.data(), &size);
  result = {};
  if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    result.type = type;
    result.size = size;
  }
  if (status == ERROR_SUCCESS) {
    result.bytes.assign(buffer.begin(), buffer.begin() + size);
  }
  return status;
}

std::int32_t Win32Registry::SetValue(platform::RegKey key, const std::string& name,
                                     std::uint32_t type, const std::uint8_t* data,
                                     std::uint32_t size) {
  return ::RegSetValueExA(Key(key), name.c_str(), 0, type, data, size);
}

std::int32_t Win32Registry::EnumKey(platform::RegKey key, std::uint32_t index,
                                    std::uint32_t nameCapacity, std::string& name) {
  std::vector<char> buffer(nameCapacity > 0 ? nameCapacity : 1);
  DWORD length = nameCapacity;
  LONG status =
      ::RegEnumKeyExA(Key(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    name.assign(buffer.data(), length);
  }
  return status;
}

std::int32_t Win32Registry::EnumValue(platform::RegKey key, std::uint32_t index,
                                      std::uint32_t nameCapacity, std::string& name,
                                      std::uint32_t* type) {
  std::vector<char> buffer(nameCapacity > 0 ? nameCapacity : 1);
  DWORD length = nameCapacity;
  DWORD valueType = 0;
  LONG status = ::RegEnumValueA(Key(key), index, buffer.data(), &length, nullptr, &valueType,
                                nullptr, nullptr);
  if (status == ERROR_SUCCESS) {
    name.assign(buffer.data(), length);
    if (type != nullptr) {
      *type = valueType;
    }
  }
  return status;
}

std::int32_t Win32Registry::DeleteValue(platform::RegKey key, const std::string& name) {
  return ::RegDeleteValueA(Key(key), name.c_str());
}

std::int32_t Win32Registry::DeleteKey(platform::RegKey key, const std::string& subKey) {
  return DeleteTree(Key(key), subKey.c_str());
}

std::int32_t Win32Registry::CloseKey(platform::RegKey key) {
  return ::RegCloseKey(Key(key));
}

}  // namespace win32
