// How dialogs from the launcher's templates behave, wherever the launcher runs.
#include "tests/contract/ContractEnv.h"
#include "ui/resource.h"

namespace contract {
namespace {

// Runs `init` when the dialog is up; OK and Cancel get the dialog manager's default.
class Probe : public platform::DialogEvents {
 public:
  explicit Probe(std::function<void(platform::WindowHandle)> init) : init_(std::move(init)) {}
  bool OnInitDialog(platform::WindowHandle dialog) override {
    init_(dialog);
    return true;
  }
  bool OnCommand(platform::WindowHandle, int id, int) override {
    commands.push_back(id);
    return false;
  }
  std::vector<int> commands;

 private:
  std::function<void(platform::WindowHandle)> init_;
};

class Dialogs : public ContractTest {};

TEST_F(Dialogs, ControlsKeepTheirStatesAndTheDialogItsResult) {
  platform::Dialogs& dialogs = p().dialogs;
  Probe probe([&](platform::WindowHandle dialog) {
    EXPECT_EQ(dialogs.IsButtonChecked(dialog, IDC_ARCH_VXD), 0);
    dialogs.CheckButton(dialog, IDC_ARCH_VXD, 1);
    EXPECT_EQ(dialogs.IsButtonChecked(dialog, IDC_ARCH_VXD), 1);
    EXPECT_EQ(dialogs.IsButtonChecked(dialog, IDC_ARCH_WDM), 0);
    EXPECT_TRUE(dialogs.IsControlEnabled(dialog, IDC_ARCH_WDM));
    dialogs.EnableControl(dialog, IDC_ARCH_WDM, false);
    EXPECT_FALSE(dialogs.IsControlEnabled(dialog, IDC_ARCH_WDM));
    dialogs.SetWindowText(dialog, "Setup");
    dialogs.EndDialog(dialog, 7);
  });
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, probe), 7);
}

TEST_F(Dialogs, TextsOfTheDialogAndItsControls) {
  platform::Dialogs& dialogs = p().dialogs;
  Probe probe([&](platform::WindowHandle dialog) {
    EXPECT_EQ(dialogs.GetText(dialog, 0, 256),
              "Windows 98SE/ME device-driver architecture selection");
    EXPECT_EQ(dialogs.GetText(dialog, IDC_ARCH_VXD, 256), "Virtual-Device (VxD)");
    // Cut as a buffer of that many characters holds it, with its terminating zero.
    EXPECT_EQ(dialogs.GetText(dialog, IDC_ARCH_VXD, 8), "Virtual");
    EXPECT_EQ(dialogs.GetText(dialog, IDC_ARCH_VXD, 1), "");
    EXPECT_EQ(dialogs.GetText(dialog, 4711, 256), "");
    dialogs.SetWindowText(dialog, "Setup");
    EXPECT_EQ(dialogs.GetText(dialog, 0, 256), "Setup");
    dialogs.EndDialog(dialog, 1);
  });
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, probe), 1);
}

TEST_F(Dialogs, ClosingIsCancel) {
  platform::Dialogs& dialogs = p().dialogs;
  Probe probe([&](platform::WindowHandle dialog) { dialogs.SendClose(dialog); });
  EXPECT_EQ(dialogs.DoModal(IDD_RESTART, {}, probe), win::IDCANCEL);
  EXPECT_EQ(probe.commands, std::vector<int>{win::IDCANCEL});
}

TEST_F(Dialogs, AModalDialogDisablesItsOwnerWhileItRuns) {
  platform::Dialogs& dialogs = p().dialogs;
  bool innerRan = false;
  Probe outer([&](platform::WindowHandle owner) {
    EXPECT_TRUE(dialogs.IsWindowEnabled(owner));
    Probe inner([&](platform::WindowHandle dialog) {
      innerRan = true;
      EXPECT_FALSE(dialogs.IsWindowEnabled(owner));
      EXPECT_TRUE(dialogs.IsWindowEnabled(dialog));
      dialogs.EndDialog(dialog, 5);
    });
    EXPECT_EQ(dialogs.DoModal(IDD_RESTART, owner, inner), 5);
    EXPECT_TRUE(dialogs.IsWindowEnabled(owner));
    dialogs.EndDialog(owner, 6);
  });
  EXPECT_EQ(dialogs.DoModal(IDD_DRIVER_ARCH, {}, outer), 6);
  EXPECT_TRUE(innerRan);
}

TEST_F(Dialogs, TheCloseSystemCommandIsCancel) {
  // Closing from the system menu or the title bar gets the default processing: WM_CLOSE, which
  // the dialog manager turns into Cancel.
  Probe probe([&](platform::WindowHandle dialog) {
    p().processes.SendWindowMessage(dialog, win::WM_SYSCOMMAND, win::SC_CLOSE, 0);
  });
  EXPECT_EQ(p().dialogs.DoModal(IDD_RESTART, {}, probe), win::IDCANCEL);
  EXPECT_EQ(probe.commands, std::vector<int>{win::IDCANCEL});
}

TEST_F(Dialogs, StringsAndMissingTemplates) {
  EXPECT_EQ(p().dialogs.LoadString(IDS_ABOUT_SETUP, 256), "&About Setup...");
  EXPECT_EQ(p().dialogs.LoadString(IDS_ABOUT_SETUP, 4), "&Ab");
  EXPECT_EQ(p().dialogs.LoadString(4711, 256), "");
  Probe probe([](platform::WindowHandle) { ADD_FAILURE() << "a dialog without template"; });
  EXPECT_EQ(p().dialogs.DoModal(4711, {}, probe), -1);
}

}  // namespace
}  // namespace contract
