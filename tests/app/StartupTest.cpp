// The start-up sequence: command line, context, detection choice and presence rule, the no-chip
// ends, and the audio settings before the main dialog.
#include <gtest/gtest.h>

#include "app/SetupApp.h"
#include "platform/sim/SimMachine.h"

namespace {

using sim::SimMachine;
using sim::WindowsVersion;

// Stands in for detection and the dialogs: sets the detection outcome the test chose and
// records what start-up called.
class FakeServices : public app::StartupServices {
 public:
  void ChipScan(const app::InstallContext&, app::DetectionState& detection) override {
    calls.push_back("ChipScan udaMode=" + std::to_string(detection.udaMode));
    Found(detection);
  }
  void RunDetectionDriver(const app::InstallContext&, app::DetectionState& detection) override {
    calls.push_back("RunDetectionDriver udaMode=" + std::to_string(detection.udaMode));
    Found(detection);
  }
  void ShowNoChipDialog() override { calls.push_back("NoChipDialog"); }
  void RunMainDialog(app::InstallContext& context, app::DetectionState&) override {
    calls.push_back("SetupMainDialog");
    seen = context;
  }

  std::uint16_t vendor = 0, device = 0, signature0 = 0, signature1 = 0;
  std::vector<std::string> calls;
  app::InstallContext seen;

 private:
  void Found(app::DetectionState& detection) const {
    detection.chipVendorId = vendor;
    detection.chipDeviceId = device;
    detection.chipSignature[0] = signature0;
    detection.chipSignature[1] = signature1;
  }
};

class Startup : public ::testing::Test {
 protected:
  explicit Startup(WindowsVersion version = WindowsVersion::Win98SE) : machine(version) {
    machine.Files().AddDrive('D', true);
    machine.Files().WriteFileDirect("D:\\SETUP.EXE", "MZ");
    machine.Files().SetCurrentFolderDirect("D:\\");
  }
  void Disc(const std::string& optionFile) {
    machine.Files().WriteFileDirect("D:\\setup.ini", optionFile, win::FILE_ATTRIBUTE_READONLY);
  }
  bool Run(const std::string& arguments = "") {
    machine.SetCommandLine("D:\\SETUP.EXE", arguments);
    app = std::make_unique<app::SetupApp>(machine.Platform(), services);
    return app->InitInstance();
  }
  void MakerChip() {
    services.vendor = 0x7C5A;
    services.device = 0x0111;
  }

  SimMachine machine;
  FakeServices services;
  std::unique_ptr<app::SetupApp> app;
};

TEST_F(Startup, AChipLeadsToTheAudioSettingsAndTheMainDialog) {
  MakerChip();
  Disc("[InstallOption]\r\nDriverOnly=1\r\n");
  EXPECT_FALSE(Run("/speaker"));
  EXPECT_EQ(services.calls, (std::vector<std::string>{"ChipScan udaMode=0", "SetupMainDialog"}));
  EXPECT_EQ(services.seen.commandLine, "/SPEAKER");
  EXPECT_EQ(machine.CommandArguments(), "/SPEAKER");  // upper-cased in place
  EXPECT_EQ(services.seen.sourceDir, "D:\\");
  EXPECT_EQ(services.seen.DriverOnly, 1);
  EXPECT_EQ(services.seen.isWin98, 1);
  EXPECT_EQ(services.seen.isWin98SE, 1);
  EXPECT_EQ(app->OptionFile(), "D:\\setup.ini");
  // The audio settings ran before the main dialog.
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\OVCDPLAY.INI"),
            "[CD PLAYER]\r\nUsingCDDA=0\r\n");
}

TEST_F(Startup, NoChipShowsTheNoticeAndNothingElse) {
  EXPECT_FALSE(Run());
  EXPECT_EQ(services.calls, (std::vector<std::string>{"ChipScan udaMode=0", "NoChipDialog"}));
  EXPECT_TRUE(machine.Journal().empty()) << machine.Journal()[0].text;
}

TEST_F(Startup, NoMsgAnywhereEndsWithoutAWindow) {
  for (const char* arguments : {"/driver no_msg", "NO_MSG", "x/no_msgy"}) {
    services.calls.clear();
    EXPECT_FALSE(Run(arguments));
    EXPECT_EQ(services.calls, (std::vector<std::string>{"ChipScan udaMode=0"})) << arguments;
  }
  EXPECT_TRUE(machine.Journal().empty());
}

TEST_F(Startup, TheMakersChipNeedsItsDeviceId) {
  services.vendor = 0x7C5A;
  services.device = 0x0112;
  Run();
  EXPECT_EQ(services.calls.back(), "NoChipDialog");
}

TEST_F(Startup, TheCodecVariantNeedsTheCodecSignature) {
  Disc("[InstallOption]\r\nInstallWDMUDACodecDriver=1\r\nWindowsMEDriverAskUser=1\r\n");
  struct Case {
    std::uint16_t vendor, device, signature0, signature1;
    bool present;
  } cases[] = {{0x7C5A, 0x0111, 0, 0, false},           {0x8086, 0x2445, 0x4F52, 0x5641, true},
               {0x8086, 0x2445, 0x4F52, 0x5640, false}, {0x8086, 0, 0x4F52, 0x5641, false},
               {0, 0x2445, 0x4F52, 0x5641, false},      {0x1106, 0x3059, 0x4F52, 0x5641, true}};
  for (const Case& c : cases) {
    services = FakeServices{};
    services.vendor = c.vendor;
    services.device = c.device;
    services.signature0 = c.signature0;
    services.signature1 = c.signature1;
    Run();
    ASSERT_EQ(services.calls.front(), "ChipScan udaMode=1");
    EXPECT_EQ(services.calls.back(), c.present ? "SetupMainDialog" : "NoChipDialog")
        << std::hex << c.vendor << ":" << c.device << " " << c.signature0 << c.signature1;
    if (c.present) {
      // The main dialog sees the forced values.
      EXPECT_EQ(services.seen.WindowsMEDriverAskUser, 0);
      EXPECT_EQ(services.seen.WindowsMEDriver, 1);
      EXPECT_EQ(services.seen.InstallWDMDriver, 1);
    }
  }
}

class StartupOn : public Startup, public ::testing::WithParamInterface<WindowsVersion> {
 protected:
  StartupOn() : Startup(GetParam()) {}
};

TEST_P(StartupOn, DetectionFollowsTheWindowsFamily) {
  MakerChip();
  Run();
  bool nt = GetParam() == WindowsVersion::NT4 || GetParam() == WindowsVersion::Win2000 ||
            GetParam() == WindowsVersion::WinXP;
  EXPECT_EQ(services.calls,
            (std::vector<std::string>{nt ? "RunDetectionDriver udaMode=0" : "ChipScan udaMode=0",
                                      "SetupMainDialog"}));
  services.vendor = 0;  // and without the chip, the notice
  Run();
  EXPECT_EQ(services.calls.back(), "NoChipDialog");
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, StartupOn,
                         ::testing::Values(WindowsVersion::Win95, WindowsVersion::Win98,
                                           WindowsVersion::Win98SE, WindowsVersion::WinME,
                                           WindowsVersion::NT4, WindowsVersion::Win2000,
                                           WindowsVersion::WinXP));

TEST_F(Startup, AnUnknownWindowsCountsAsHavingTheChip) {
  machine.SetVersion(platform::OsVersion{3, 11, 0, win::VER_PLATFORM_WIN32s, ""});
  Run();
  EXPECT_EQ(services.calls, (std::vector<std::string>{"SetupMainDialog"}));
}

TEST_F(Startup, AnOverlongCommandLineIsHandledWhole) {
  MakerChip();
  std::string arguments(5000, 'a');
  Run(arguments + " no_msg");
  EXPECT_EQ(services.seen.commandLine, std::string(5000, 'A') + " NO_MSG");
  EXPECT_EQ(services.calls.back(), "SetupMainDialog");
}

TEST_F(Startup, AnUnreadableOptionFileGivesTheDefaults) {
  MakerChip();
  Disc(std::string("\xff\xfe\x00", 3) + "garbage\r\n[InstallOptions]\r\nDriverOnly=1");
  Run();
  EXPECT_EQ(services.seen.DriverOnly, 0);
  EXPECT_EQ(services.seen.WindowsMEDriver, 1);
}

}  // namespace
