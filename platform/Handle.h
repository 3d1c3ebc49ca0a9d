// Opaque handles that cross the platform boundary. Each backend decides what the number means
// (a real Win32 handle, or an index into the simulated machine's tables).
#pragma once

#include <cstdint>

namespace platform {

template <class Tag>
struct Handle {
  std::uintptr_t value = 0;

  constexpr bool IsNull() const { return value == 0; }
  friend constexpr bool operator==(Handle a, Handle b) { return a.value == b.value; }
};

using RegKey = Handle<struct RegKeyTag>;
using FindHandle = Handle<struct FindHandleTag>;
using ProcessHandle = Handle<struct ProcessHandleTag>;
using WindowHandle = Handle<struct WindowHandleTag>;
using ServiceHandle = Handle<struct ServiceHandleTag>;
using DeviceHandle = Handle<struct DeviceHandleTag>;
using DriverHandle = Handle<struct DriverHandleTag>;
using TokenHandle = Handle<struct TokenHandleTag>;

}  // namespace platform

namespace win {

// The predefined registry roots, with the values Win32 gives them: a LONG turned into a
// pointer, so sign-extended on 64-bit Windows.
constexpr platform::RegKey PredefinedKey(std::uint32_t value) {
  return platform::RegKey{
      static_cast<std::uintptr_t>(static_cast<std::intptr_t>(static_cast<std::int32_t>(value)))};
}
inline constexpr platform::RegKey HKEY_CLASSES_ROOT = PredefinedKey(0x80000000u);
inline constexpr platform::RegKey HKEY_CURRENT_USER = PredefinedKey(0x80000001u);
inline constexpr platform::RegKey HKEY_LOCAL_MACHINE = PredefinedKey(0x80000002u);
inline constexpr platform::RegKey HKEY_USERS = PredefinedKey(0x80000003u);
inline constexpr platform::RegKey HKEY_CURRENT_CONFIG = PredefinedKey(0x80000005u);

}  // namespace win
