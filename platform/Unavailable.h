// The multimedia service comes with the NT 4.0 driver registration that needs it. Until then
// both backends answer as a machine without mixers would.
#pragma once

#include "platform/Multimedia.h"

namespace platform {

class UnavailableMultimedia : public Multimedia {
 public:
  std::uint32_t MixerCount() override { return 0; }
  bool MixerProductName(std::uint32_t, std::string&) override { return false; }
  DriverHandle OpenDriver(const std::string&) override { return {}; }
  std::intptr_t SendDriverMessage(DriverHandle, std::uint32_t, std::intptr_t,
                                  std::intptr_t) override {
    return 0;
  }
  void CloseDriver(DriverHandle) override {}
};

}  // namespace platform
