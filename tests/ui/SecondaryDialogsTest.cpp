// The architecture question, the restart offer with its privilege, and the jack options.
#include "tests/ui/UiFixture.h"
#include "ui/JackOptionsDialog.h"
#include "ui/SecondaryDialogs.h"

namespace uitest {
namespace {

class SecondaryDialogs : public UiTest {};

TEST_F(SecondaryDialogs, DriverArchitectureIsPresetAndAnswered) {
  for (int preset : {1, 0}) {
    ui::DriverArchDialog arch(machine.Platform(), {});
    arch.vxdSelected = preset;
    Script(IDD_DRIVER_ARCH, {Click(win::IDOK)});
    EXPECT_EQ(arch.DoModal(), win::IDOK);
    EXPECT_EQ(arch.vxdSelected, preset);
    EXPECT_EQ(Last(IDD_DRIVER_ARCH).checked.at(IDC_ARCH_VXD), preset);
    EXPECT_EQ(Last(IDD_DRIVER_ARCH).checked.at(IDC_ARCH_WDM), 1 - preset);
  }
  ui::DriverArchDialog arch(machine.Platform(), {});
  arch.vxdSelected = 1;
  Script(IDD_DRIVER_ARCH, {Click(IDC_ARCH_WDM), Click(win::IDOK)});
  EXPECT_EQ(arch.DoModal(), win::IDOK);
  EXPECT_EQ(arch.vxdSelected, 0);
  EXPECT_EQ(Last(IDD_DRIVER_ARCH).checked.at(IDC_ARCH_VXD), 0);  // the group keeps one on

  for (auto action : {Click(win::IDCANCEL), Close()}) {
    ui::DriverArchDialog cancelled(machine.Platform(), {});
    Script(IDD_DRIVER_ARCH, {action});
    EXPECT_EQ(cancelled.DoModal(), win::IDCANCEL);
  }
}

TEST_F(SecondaryDialogs, RestartOffersYesAndRestarts) {
  ui::RestartDialog restart(machine.Platform(), {});
  Script(IDD_RESTART, {Click(win::IDOK)});
  EXPECT_EQ(restart.DoModal(), win::IDOK);
  EXPECT_EQ(Last(IDD_RESTART).checked.at(IDC_RESTART_YES), 1);
  EXPECT_TRUE(machine.Security().RestartRequested());
}

TEST_F(SecondaryDialogs, NoOrClosingRestartsNothing) {
  ui::RestartDialog later(machine.Platform(), {});
  Script(IDD_RESTART, {Click(IDC_RESTART_NO), Click(win::IDOK)});
  EXPECT_EQ(later.DoModal(), win::IDOK);
  EXPECT_EQ(Last(IDD_RESTART).checked.at(IDC_RESTART_YES), 0);
  ui::RestartDialog closed(machine.Platform(), {});
  Script(IDD_RESTART, {Close()});
  EXPECT_EQ(closed.DoModal(), win::IDCANCEL);
  EXPECT_FALSE(machine.Security().RestartRequested());
}

TEST_F(SecondaryDialogs, EnablePrivilegeOnEachFamily) {
  // Windows 9x: no tokens, success all the same.
  EXPECT_EQ(ui::EnablePrivilege(machine.Platform(), "SeShutdownPrivilege"), 1);
  EXPECT_TRUE(Journal("security").empty());

  sim::SimMachine nt(sim::WindowsVersion::Win2000);
  EXPECT_FALSE(nt.Security().ExitWindows(win::EWX_REBOOT, 0));
  EXPECT_EQ(ui::EnablePrivilege(nt.Platform(), "SeShutdownPrivilege"), 1);
  EXPECT_TRUE(nt.Security().ExitWindows(win::EWX_REBOOT, 0));
  EXPECT_EQ(ui::EnablePrivilege(nt.Platform(), "SeNoSuchPrivilege"), 0);
  nt.InjectedFaults().FailEvery(sim::Call::OpenProcessToken, win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(ui::EnablePrivilege(nt.Platform(), "SeShutdownPrivilege"), 0);
}

class JackOptions : public UiTest {
 protected:
  install::JackOptions Run(std::vector<sim::DialogAction> actions, int expected = win::IDOK) {
    ui::JackOptionsDialog jacks(machine.Platform(), {});
    actions.push_back(Click(win::IDOK));
    Script(IDD_JACK_OPTIONS, actions);
    EXPECT_EQ(jacks.DoModal(), expected);
    return jacks.results;
  }
  std::tuple<int, int, int, int, int> Tuple(const install::JackOptions& o) {
    return {o.lineInSharesRearJack, o.lineInSharesCenterJack, o.micSharesSubwooferJack,
            o.gamePortEnabled, o.midiPortEnabled};
  }
};

TEST_F(JackOptions, TheDefaults) {
  EXPECT_EQ(Tuple(Run({})), std::make_tuple(1, 0, 0, 1, 1));
  const sim::DialogSnapshot& shown = Last(IDD_JACK_OPTIONS);
  EXPECT_EQ(shown.checked.at(IDC_ON_MOTHERBOARD), 1);
  EXPECT_EQ(shown.checked.at(IDC_ON_SOUND_CARD), 0);
}

TEST_F(JackOptions, TheSoundCardIgnoresTheJackBoxes) {
  EXPECT_EQ(Tuple(Run({Click(IDC_ON_SOUND_CARD)})), std::make_tuple(0, 0, 0, 1, 1));
  const sim::DialogSnapshot& shown = Last(IDD_JACK_OPTIONS);
  EXPECT_EQ(shown.checked.at(IDC_LINEIN_REAR), 1);
  EXPECT_FALSE(shown.enabled.at(IDC_LINEIN_REAR));
  EXPECT_EQ(shown.checked.at(IDC_ON_MOTHERBOARD), 0);
  // Disabled boxes ignore clicks.
  EXPECT_EQ(Tuple(Run({Click(IDC_ON_SOUND_CARD), Click(IDC_LINEIN_CENTER)})),
            std::make_tuple(0, 0, 0, 1, 1));
}

TEST_F(JackOptions, SwitchingBackKeepsTheBoxes) {
  EXPECT_EQ(
      Tuple(Run({Click(IDC_LINEIN_CENTER), Click(IDC_ON_SOUND_CARD), Click(IDC_ON_MOTHERBOARD)})),
      std::make_tuple(0, 1, 0, 1, 1));
  EXPECT_TRUE(Last(IDD_JACK_OPTIONS).enabled.at(IDC_LINEIN_CENTER));
}

TEST_F(JackOptions, TheJackBoxesExcludeEachOther) {
  EXPECT_EQ(Tuple(Run({Click(IDC_LINEIN_CENTER)})), std::make_tuple(0, 1, 0, 1, 1));
  EXPECT_EQ(Tuple(Run({Click(IDC_LINEIN_CENTER), Click(IDC_MIC_SUBWOOFER)})),
            std::make_tuple(0, 0, 1, 1, 1));
  EXPECT_EQ(
      Tuple(Run({Click(IDC_LINEIN_CENTER), Click(IDC_MIC_SUBWOOFER), Click(IDC_MIC_SUBWOOFER)})),
      std::make_tuple(0, 0, 0, 1, 1));
  EXPECT_EQ(Tuple(Run({Click(IDC_MIC_SUBWOOFER)})), std::make_tuple(1, 0, 1, 1, 1));
  // Clicking the rear box always leaves it on, and the centre box off.
  EXPECT_EQ(Tuple(Run({Click(IDC_LINEIN_REAR)})), std::make_tuple(1, 0, 0, 1, 1));
  EXPECT_EQ(Tuple(Run({Click(IDC_LINEIN_CENTER), Click(IDC_LINEIN_REAR)})),
            std::make_tuple(1, 0, 0, 1, 1));
}

TEST_F(JackOptions, BothPortsDisabled) {
  EXPECT_EQ(Tuple(Run({Click(IDC_DISABLE_MIDI), Click(IDC_DISABLE_GAME)})),
            std::make_tuple(1, 0, 0, 0, 0));
  EXPECT_EQ(Tuple(Run({Click(IDC_DISABLE_GAME)})), std::make_tuple(1, 0, 0, 0, 1));
}

TEST_F(JackOptions, CancelLeavesTheResultsUnset) {
  ui::JackOptionsDialog jacks(machine.Platform(), {});
  Script(IDD_JACK_OPTIONS, {Click(IDC_LINEIN_CENTER), Click(win::IDCANCEL)});
  EXPECT_EQ(jacks.DoModal(), win::IDCANCEL);
  EXPECT_EQ(Tuple(jacks.results), std::make_tuple(0, 0, 0, 0, 0));
}

}  // namespace
}  // namespace uitest
