// User-interface services other than dialogs from templates: message boxes.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Handle.h"

namespace platform {

class Ui {
 public:
  virtual ~Ui() = default;

  // MessageBoxA; returns the button pressed (win::IDOK...).
  virtual int ShowMessageBox(WindowHandle owner, const std::string& text,
                             const std::string& caption, std::uint32_t type) = 0;
};

}  // namespace platform
