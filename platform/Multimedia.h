// Multimedia (winmm): mixerGetNumDevs, mixerGetDevCapsA, OpenDriver, SendDriverMessage,
// CloseDriver.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handle.h"

namespace platform {

class Multimedia {
 public:
  virtual ~Multimedia() = default;

  virtual std::uint32_t MixerCount() = 0;
  // The product name of mixer `index` from its 48-byte capabilities record: at most the 32
  // characters of the record's field, which a driver may fill without a terminating zero.
  // False when the call fails (an index at or above the count among others).
  virtual bool MixerProductName(std::uint32_t index, std::string& productName) = 0;
  // OpenDriver of a library's path (converted to UTF-16 in 260 characters), no section name.
  // The library is loaded and sent DRV_LOAD, DRV_ENABLE and DRV_OPEN; a null handle when the
  // file is missing or the library refuses.
  virtual DriverHandle OpenDriver(const std::string& path) = 0;
  // The library's reply; 0 for a handle that is not open.
  virtual std::intptr_t SendDriverMessage(DriverHandle driver, std::uint32_t message,
                                          std::intptr_t param1, std::intptr_t param2) = 0;
  // DRV_CLOSE, and DRV_DISABLE and DRV_FREE when it was the library's last open instance.
  virtual void CloseDriver(DriverHandle driver) = 0;
};

}  // namespace platform
