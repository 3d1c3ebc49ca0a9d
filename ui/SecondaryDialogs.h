// The small dialogs: the no-chip notice, the About box, the driver architecture question and
// the restart offer.
#pragma once

#include <string>

#include "ui/DialogBase.h"
#include "ui/resource.h"

namespace ui {

class NoChipDialog : public DialogBase {
 public:
  explicit NoChipDialog(platform::Platform& platform) : DialogBase(platform, IDD_NO_CHIP) {}
};

class AboutDialog : public DialogBase {
 public:
  AboutDialog(platform::Platform& platform, platform::WindowHandle owner)
      : DialogBase(platform, IDD_ABOUT, owner) {}
};

// Asks on Windows 98 SE and ME which driver architecture to install.
class DriverArchDialog : public DialogBase {
 public:
  DriverArchDialog(platform::Platform& platform, platform::WindowHandle owner)
      : DialogBase(platform, IDD_DRIVER_ARCH, owner) {}

  int vxdSelected = 0;  // in and out: 1 the VxD driver, 0 the WDM driver

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;
};

// Offers to restart Windows after a driver installation, and restarts it.
class RestartDialog : public DialogBase {
 public:
  RestartDialog(platform::Platform& platform, platform::WindowHandle owner)
      : DialogBase(platform, IDD_RESTART, owner) {}

 protected:
  bool OnInit() override;
  bool OnClicked(int id) override;
};

// Enables a privilege of the process's token; non-zero on success. The Windows 9x family has no
// security tokens: there it reports success without doing anything.
int EnablePrivilege(platform::Platform& platform, const std::string& name);

}  // namespace ui
