// The compiled templates hold what the dialogs are made of, in every language each one has.
#include "tests/ui/UiFixture.h"

namespace uitest {
namespace {

constexpr std::uint32_t kGroup = 0x00020000;
constexpr std::uint32_t kTabStop = 0x00010000;

class Templates : public UiTest {
 protected:
  const sim::DialogTemplate& Get(int id, int language) {
    const sim::DialogTemplate* found = machine.Dialogs().Templates().Dialog(id, language);
    EXPECT_NE(found, nullptr) << id;
    EXPECT_EQ(found->language, language) << id;
    return *found;
  }
  const sim::DialogControl* Control(const sim::DialogTemplate& source, int id) {
    for (const auto& control : source.controls) {
      if (control.id == id) {
        return &control;
      }
    }
    return nullptr;
  }
};

TEST_F(Templates, EveryTemplateInItsLanguages) {
  const std::vector<std::pair<int, std::vector<int>>> expected{
      {IDD_ABOUT, {1033}},
      {IDD_SETUP_MAIN, {1033, 1028, 1041, 1042}},
      {IDD_JACK_OPTIONS, {1033}},
      {IDD_DRIVER_ARCH, {1033, 1028, 1036, 1041, 1042}},
      {IDD_RESTART, {1033, 1028, 1041, 1042}},
      {IDD_NO_CHIP, {1033, 1028}}};
  std::vector<std::pair<int, int>> all;
  for (const auto& [id, languages] : expected) {
    const sim::DialogTemplate& english = Get(id, 1033);
    for (int language : languages) {
      all.emplace_back(id, language);
      const sim::DialogTemplate& translated = Get(id, language);
      // The same controls with the same ids and kinds, in the same order.
      ASSERT_EQ(translated.controls.size(), english.controls.size()) << id << "/" << language;
      for (std::size_t i = 0; i < english.controls.size(); ++i) {
        EXPECT_EQ(translated.controls[i].id, english.controls[i].id) << id << "/" << language;
        EXPECT_EQ(translated.controls[i].style, english.controls[i].style) << id << "/" << language;
        EXPECT_FALSE(translated.controls[i].text.empty() && !english.controls[i].text.empty());
      }
    }
  }
  std::sort(all.begin(), all.end());
  EXPECT_EQ(machine.Dialogs().Templates().DialogIds(), all);
  EXPECT_EQ(machine.Dialogs().Templates().String(IDS_ABOUT_SETUP), "&About Setup...");
  EXPECT_TRUE(machine.Dialogs().Templates().HasBitmap(IDB_BACKGROUND));
  EXPECT_TRUE(machine.Dialogs().Templates().HasIcon(IDR_MAINFRAME));
}

TEST_F(Templates, TheMainWindow) {
  const sim::DialogTemplate& main = Get(IDD_SETUP_MAIN, 1033);
  EXPECT_TRUE(main.extended);
  EXPECT_EQ(main.style,
            0x80000000u | 0x10000000u | 0x800u | 0x40u);  // popup, visible, centre, font
  EXPECT_EQ(main.exStyle, 0x00040000u);                   // application window
  EXPECT_EQ(main.caption, "");
  EXPECT_EQ(main.font, "MS Sans Serif");
  EXPECT_EQ(main.pointSize, 10);
  EXPECT_EQ(std::tie(main.cx, main.cy), std::make_tuple(427, 349));
  ASSERT_EQ(main.controls.size(), 5u);
  EXPECT_EQ(main.controls[0].text, "#129");
  EXPECT_EQ(main.controls[0].style & 0x1F, 0xEu);  // SS_BITMAP
  const std::tuple<int, const char*, int, std::uint32_t> buttons[] = {
      {IDC_INSTALL_ALL, "Install Device Driver and Applications", 105, 0},
      {IDC_INSTALL_DRIVER, "Install Device Driver", 140, 1},
      {IDC_INSTALL_APPS, "Install Applications", 175, 1},
      {win::IDCANCEL, "Exit", 210, 0}};
  for (const auto& [id, text, y, defaultButton] : buttons) {
    const sim::DialogControl* button = Control(main, id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text, text);
    EXPECT_EQ(std::tie(button->x, button->y, button->cx, button->cy),
              std::make_tuple(130, y, 155, 20));
    EXPECT_EQ(button->style & 0xF, defaultButton);
    EXPECT_TRUE(button->style & kTabStop);
  }
}

TEST_F(Templates, RadioGroupsAsTheDialogsNeedThem) {
  // Driver architecture: both radio buttons in the first group, a new group from the text on.
  const sim::DialogTemplate& arch = Get(IDD_DRIVER_ARCH, 1033);
  EXPECT_EQ(arch.caption, "Windows 98SE/ME device-driver architecture selection");
  EXPECT_EQ(Control(arch, IDC_ARCH_WDM)->text, "Win32 Driver Model (WDM) ");
  EXPECT_FALSE(Control(arch, IDC_ARCH_VXD)->style & kGroup);
  EXPECT_FALSE(Control(arch, IDC_ARCH_WDM)->style & kGroup);
  EXPECT_TRUE(arch.controls[5].style & kGroup);
  EXPECT_EQ(std::tie(Get(IDD_DRIVER_ARCH, 1042).cx, Get(IDD_DRIVER_ARCH, 1042).cy),
            std::make_tuple(240, 171));
  // Restart: both texts start a group, the radio buttons share the second one's.
  const sim::DialogTemplate& restart = Get(IDD_RESTART, 1033);
  EXPECT_TRUE(restart.controls[1].style & kGroup);
  EXPECT_TRUE(restart.controls[2].style & kGroup);
  EXPECT_FALSE(Control(restart, IDC_RESTART_YES)->style & kGroup);
  EXPECT_EQ(restart.font, "Courier New");
  EXPECT_EQ(Get(IDD_RESTART, 1041).font, "MS Sans Serif");
  EXPECT_EQ(Control(restart, win::IDCANCEL), nullptr);
  // Jack options: each radio button starts a group of its own.
  const sim::DialogTemplate& jacks = Get(IDD_JACK_OPTIONS, 1033);
  EXPECT_TRUE(Control(jacks, IDC_ON_MOTHERBOARD)->style & kGroup);
  EXPECT_TRUE(Control(jacks, IDC_ON_SOUND_CARD)->style & kGroup);
  EXPECT_EQ(Control(jacks, IDC_DISABLE_MIDI)->text, "Disable MIDI port (device)");
  // The Chinese no-chip notice is shorter, its button higher.
  EXPECT_EQ(Get(IDD_NO_CHIP, 1028).cy, 113);
  EXPECT_EQ(Control(Get(IDD_NO_CHIP, 1028), win::IDOK)->y, 95);
  EXPECT_EQ(Get(IDD_ABOUT, 1033).caption, "About Setup");
}

}  // namespace
}  // namespace uitest
