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
  // The product name of mixer `index` (at most 31 characters); false when the call fails.
  virtual bool MixerProductName(std::uint32_t index, std::string& productName) = 0;
  virtual DriverHandle OpenDriver(const std::string& path) = 0;
  virtual std::intptr_t SendDriverMessage(DriverHandle driver, std::uint32_t message,
                                          std::intptr_t param1, std::intptr_t param2) = 0;
  virtual void CloseDriver(DriverHandle driver) = 0;
};

}  // namespace platform
