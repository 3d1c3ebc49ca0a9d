// The multimedia service: the mixer devices' product names, and installable driver libraries
// opened by their path and sent messages.
#include "tests/contract/ContractEnv.h"

namespace contract {
namespace {

constexpr std::uint32_t kDrvLoad = 1;
constexpr std::intptr_t kDrvCnfOk = 1;
constexpr std::intptr_t kDrvCnfRestart = 2;
constexpr std::intptr_t kOwner = 0x4711;

class Multimedia : public ContractTest {
 protected:
  // This test's folder without blanks (its 8.3 form): OpenDriver takes what follows a blank in
  // its path for the driver's arguments.
  std::string PlainFolder() {
    std::string shortDir;
    EXPECT_GT(p().files.GetShortPath(dir, win::MAX_PATH, shortDir), 0u);
    EXPECT_EQ(shortDir.find(' '), std::string::npos) << shortDir;
    return shortDir;
  }
  std::string Message(std::uint32_t message, std::intptr_t param1 = 0) {
    return std::to_string(message) + " " + std::to_string(param1);
  }
};

// Without a sound system (Wine here runs headless) there is no mixer at all; the simulated
// machine of the suite has two, one of them with a name that fills the whole field.
TEST_F(Multimedia, EveryMixerBelowTheCountAnswersAndNoneAtIt) {
  std::uint32_t count = p().multimedia.MixerCount();
  for (std::uint32_t index = 0; index < count; ++index) {
    std::string name;
    if (p().multimedia.MixerProductName(index, name)) {
      EXPECT_LE(name.size(), 32u) << index;
      EXPECT_EQ(name.find('\0'), std::string::npos) << index;
    }
  }
  for (std::uint32_t index : {count, count + 1, count + 100}) {
    std::string name = "untouched";
    EXPECT_FALSE(p().multimedia.MixerProductName(index, name)) << index;
    EXPECT_EQ(name, "untouched");
  }
  if (Env().simulated) {
    ASSERT_EQ(count, 2u);
    std::string name;
    ASSERT_TRUE(p().multimedia.MixerProductName(1, name));
    EXPECT_EQ(name, "Mixer of a driver that fills it!");
  }
}

TEST_F(Multimedia, NoLibraryNoHandle) {
  std::string folder = PlainFolder();
  EXPECT_TRUE(p().multimedia.OpenDriver(folder + "absent.dll").IsNull());
  EXPECT_TRUE(p().multimedia.OpenDriver(folder + "absent\\orvdrv.dll").IsNull());
  EXPECT_TRUE(p().multimedia.OpenDriver(folder).IsNull());
  // A handle that is not open reaches no library.
  EXPECT_EQ(
      p().multimedia.SendDriverMessage(platform::DriverHandle{}, win::DRV_QUERYCONFIGURE, 0, 0), 0);
}

TEST_F(Multimedia, ALibraryThatRefusesToLoadGivesNoHandle) {
  std::string path = PlainFolder() + "orvdrv.dll";
  Env().plantDriverLibrary(path, true);
  EXPECT_TRUE(p().multimedia.OpenDriver(path).IsNull());
  // Asked to load, it said no: nothing more is sent.
  EXPECT_EQ(Env().driverMessages(path), std::vector<std::string>{Message(kDrvLoad)});
}

// What the launcher sends a sound driver's library after copying it: DRV_INSTALL, then
// DRV_QUERYCONFIGURE, and DRV_CONFIGURE when the library has a configuration dialog.
TEST_F(Multimedia, ALibraryAnswersTheInstallMessages) {
  std::string path = PlainFolder() + "orvdrv.dll";
  Env().plantDriverLibrary(path, false);
  platform::DriverHandle driver = p().multimedia.OpenDriver(path);
  ASSERT_FALSE(driver.IsNull());
  EXPECT_EQ(p().multimedia.SendDriverMessage(driver, win::DRV_INSTALL, kOwner, 0), kDrvCnfRestart);
  EXPECT_EQ(p().multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 1);
  EXPECT_EQ(p().multimedia.SendDriverMessage(driver, win::DRV_CONFIGURE, kOwner, 0), kDrvCnfOk);
  p().multimedia.CloseDriver(driver);
  // Loaded, enabled and opened; the three messages with the owner window passed on; closed,
  // disabled and freed.
  EXPECT_EQ(Env().driverMessages(path),
            (std::vector<std::string>{"1 0", "2 0", "3 0", Message(win::DRV_INSTALL, kOwner),
                                      Message(win::DRV_QUERYCONFIGURE),
                                      Message(win::DRV_CONFIGURE, kOwner), "4 0", "5 0", "6 0"}));
  // The closed handle reaches the library no more.
  EXPECT_EQ(p().multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 0);
  EXPECT_EQ(Env().driverMessages(path).size(), 9u);
}

TEST_F(Multimedia, TwoInstancesOfALibraryShareItsLoading) {
  std::string path = PlainFolder() + "orvdrv.dll";
  Env().plantDriverLibrary(path, false);
  platform::DriverHandle first = p().multimedia.OpenDriver(path);
  platform::DriverHandle second = p().multimedia.OpenDriver(path);
  ASSERT_FALSE(first.IsNull());
  ASSERT_FALSE(second.IsNull());
  EXPECT_FALSE(first == second);
  p().multimedia.CloseDriver(first);
  EXPECT_EQ(p().multimedia.SendDriverMessage(second, win::DRV_QUERYCONFIGURE, 0, 0), 1);
  p().multimedia.CloseDriver(second);
  EXPECT_EQ(Env().driverMessages(path), (std::vector<std::string>{"1 0", "2 0", "3 0", "3 0", "4 0",
                                                                  "8 0", "4 0", "5 0", "6 0"}));
}

// The text after the first blank of the path is taken for the driver's arguments: the library
// is looked for at the path's first part. Measured under Wine (the registry's driver entries
// carry arguments that way); the simulated machine does the same. The launcher's own path is
// the Windows folder's, which has no blank on the systems it installs on.
TEST_F(Multimedia, APathWithABlankDoesNotReachTheLibrary) {
  ASSERT_NE(dir.find(' '), std::string::npos) << dir;
  std::string path = dir + "orvdrv.dll";
  Env().plantDriverLibrary(path, false);
  EXPECT_TRUE(p().multimedia.OpenDriver(path).IsNull());
  EXPECT_TRUE(Env().driverMessages(path).empty());
  platform::DriverHandle driver = p().multimedia.OpenDriver(PlainFolder() + "orvdrv.dll");
  ASSERT_FALSE(driver.IsNull());
  p().multimedia.CloseDriver(driver);
}

}  // namespace
}  // namespace contract
