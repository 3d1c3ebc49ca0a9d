// Multimedia: the mixer devices and the installable driver libraries, over winmm.
#include <cstring>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

#include <mmsystem.h>  // after <windows.h>

namespace win32 {

// The capabilities record the launcher reads: 48 bytes with its 32-character product name.
static_assert(sizeof(MIXERCAPSA) == 48, "MIXERCAPSA as Windows 95 and NT 4.0 define it");

std::uint32_t Win32Multimedia::MixerCount() {
  return ::mixerGetNumDevs();
}

bool Win32Multimedia::MixerProductName(std::uint32_t index, std::string& productName) {
  MIXERCAPSA caps;
  std::memset(&caps, 0, sizeof caps);
  if (::mixerGetDevCapsA(index, &caps, sizeof caps) != MMSYSERR_NOERROR) {
    return false;
  }
  // A driver may fill the whole field, leaving no terminating zero: read no further than it.
  productName.assign(caps.szPname, strnlen(caps.szPname, sizeof caps.szPname));
  return true;
}

platform::DriverHandle Win32Multimedia::OpenDriver(const std::string& path) {
  WCHAR widePath[MAX_PATH];
  if (::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path.c_str(), -1, widePath, MAX_PATH) == 0) {
    return {};  // a path that does not fit is not cut to name another file
  }
  HDRVR driver = ::OpenDriver(widePath, nullptr, 0);
  return platform::DriverHandle{reinterpret_cast<std::uintptr_t>(driver)};
}

std::intptr_t Win32Multimedia::SendDriverMessage(platform::DriverHandle driver,
                                                 std::uint32_t message, std::intptr_t param1,
                                                 std::intptr_t param2) {
  return ::SendDriverMessage(reinterpret_cast<HDRVR>(driver.value), message, param1, param2);
}

void Win32Multimedia::CloseDriver(platform::DriverHandle driver) {
  ::CloseDriver(reinterpret_cast<HDRVR>(driver.value), 0, 0);
}

}  // namespace win32
