// The option file and the codec variant's overrides.
#include <gtest/gtest.h>

#include "app/OptionFile.h"
#include "platform/sim/SimMachine.h"

namespace {

using app::InstallOptions;

class OptionFile : public ::testing::Test {
 protected:
  InstallOptions Read(const std::string& text) {
    machine.Files().WriteFileDirect("C:\\DISC\\setup.ini", text);
    return app::ReadInstallOptions(machine.Platform().profiles, "C:\\DISC\\setup.ini");
  }
  sim::SimMachine machine;
};

TEST_F(OptionFile, NoFileGivesTheDefaults) {
  InstallOptions options =
      app::ReadInstallOptions(machine.Platform().profiles, "C:\\DISC\\setup.ini");
  EXPECT_EQ(options.WindowsMEDriver, 1);
  for (int value :
       {options.DriverOnly, options.WindowsMEDriverAskUser, options.Windows98SEDriverAskUser,
        options.Windows98SEDriver, options.WebSetup, options.InstallWDMDriver,
        options.InstallWDMUDACodecDriver, options.UDAWindows98Driver}) {
    EXPECT_EQ(value, 0);
  }
}

TEST_F(OptionFile, EveryKeyIsRead) {
  InstallOptions options = Read(
      "[InstallOption]\r\nDriverOnly=1\r\nWindowsMEDriverAskUser=2\r\nWindowsMEDriver=0\r\n"
      "Windows98SEDriverAskUser=3\r\nWindows98SEDriver=4\r\nWebSetup=2\r\nInstallWDMDriver=5\r\n"
      "InstallWDMUDACodecDriver=0\r\nUDAWindows98Driver=6\r\n");
  EXPECT_EQ(options.DriverOnly, 1);
  EXPECT_EQ(options.WindowsMEDriverAskUser, 2);
  EXPECT_EQ(options.WindowsMEDriver, 0);
  EXPECT_EQ(options.Windows98SEDriverAskUser, 3);
  EXPECT_EQ(options.Windows98SEDriver, 4);
  EXPECT_EQ(options.WebSetup, 2);
  EXPECT_EQ(options.InstallWDMDriver, 5);
  EXPECT_EQ(options.UDAWindows98Driver, 6);
}

TEST_F(OptionFile, OddNumbersAreReadAsWindowsReadsThem) {
  InstallOptions options = Read(
      "[InstallOption]\r\nDriverOnly=yes\r\nWindowsMEDriver=\r\nWebSetup=-1\r\n"
      "InstallWDMDriver=99999999999\r\nWindows98SEDriver=0x10\r\nUDAWindows98Driver= 2 ; two\r\n");
  EXPECT_EQ(options.DriverOnly, 0);
  EXPECT_EQ(options.WindowsMEDriver, 1);  // empty: the default
  EXPECT_EQ(options.WebSetup, -1);
  EXPECT_EQ(options.InstallWDMDriver, 1215752191);  // wrapped as 32-bit arithmetic wraps
  EXPECT_EQ(options.Windows98SEDriver, 16);
  EXPECT_EQ(options.UDAWindows98Driver, 2);
}

TEST_F(OptionFile, TheCodecVariantForcesTheWdmFlavour) {
  InstallOptions options = Read(
      "[InstallOption]\r\nInstallWDMUDACodecDriver=1\r\nWindowsMEDriverAskUser=1\r\n"
      "Windows98SEDriverAskUser=1\r\nWindowsMEDriver=0\r\n");
  app::DetectionState detection;
  app::ApplyCodecOverrides(options, detection);
  EXPECT_EQ(detection.udaMode, 1);
  EXPECT_EQ(options.WindowsMEDriver, 1);
  EXPECT_EQ(options.Windows98SEDriver, 1);
  EXPECT_EQ(options.InstallWDMDriver, 1);
  EXPECT_EQ(options.WindowsMEDriverAskUser, 0);
  EXPECT_EQ(options.Windows98SEDriverAskUser, 0);
  EXPECT_EQ(options.DriverOnly, 0);
  EXPECT_EQ(options.WebSetup, 0);
  EXPECT_EQ(options.UDAWindows98Driver, 0);

  InstallOptions plain = Read("[InstallOption]\r\nWindowsMEDriverAskUser=1\r\n");
  app::ApplyCodecOverrides(plain, detection);
  EXPECT_EQ(detection.udaMode, 0);
  EXPECT_EQ(plain.WindowsMEDriverAskUser, 1);
}

}  // namespace
