// Start-up with real detection on simulated machines: the chip is found, or not, on every
// topology, on both families.
#include <gtest/gtest.h>

#include "app/SetupApp.h"
#include "detect/DetectingServices.h"
#include "platform/sim/SimMachine.h"

namespace {

class RecordingServices : public detect::DetectingServices {
 public:
  using DetectingServices::DetectingServices;
  void ShowNoChipDialog() override { shown = "NoChipDialog"; }
  void RunMainDialog(app::InstallContext&, app::DetectionState&) override {
    shown = "SetupMainDialog";
  }
  std::string shown;
};

std::string StartOn(sim::WindowsVersion version, const std::vector<std::string>& pci,
                    const std::string& optionFile = "",
                    const std::string& programPath = "D:\\SETUP.EXE") {
  sim::SimMachine machine(version);
  machine.Files().AddDrive('D', true);
  machine.Files().WriteFileDirect("D:\\SETUP.EXE", "MZ");
  machine.Files().WriteFileDirect("D:\\orvainfo.sys", "driver");
  machine.Files().WriteFileDirect("D:\\setup.ini", optionFile);
  for (const std::string& device : pci) {
    std::string error;
    std::size_t equals = device.find('=');
    machine.Hardware().AddDevice(
        *sim::ParsePciDevice(device.substr(0, equals), device.substr(equals + 1), error));
  }
  machine.Files().SetCurrentFolderDirect("D:\\");
  machine.SetCommandLine(programPath, "");
  RecordingServices services(machine.Platform());
  app::SetupApp setup(machine.Platform(), services);
  setup.InitInstance();
  EXPECT_TRUE(machine.Services().Registered().empty());
  return services.shown;
}

const char* kCodecVariant = "[InstallOption]\r\nInstallWDMUDACodecDriver=1\r\n";

TEST(StartupDetection, EveryFamilyFindsTheMakersChip) {
  for (auto version :
       {sim::WindowsVersion::Win95, sim::WindowsVersion::Win98, sim::WindowsVersion::Win98SE,
        sim::WindowsVersion::WinME, sim::WindowsVersion::NT4, sim::WindowsVersion::Win2000,
        sim::WindowsVersion::WinXP}) {
    EXPECT_EQ(StartOn(version, {"01:05.0=7C5A:0111"}), "SetupMainDialog");
    EXPECT_EQ(StartOn(version, {"01:05.0=7C5A:0112"}), "NoChipDialog");
    EXPECT_EQ(StartOn(version, {}), "NoChipDialog");
  }
}

TEST(StartupDetection, StartedFromACommandPromptOnTheDisc) {
  // "setup" typed in a command prompt on D: gives the program path ".\\SETUP.EXE" and the
  // folder "D:.\\": the detection driver still loads.
  for (auto version : {sim::WindowsVersion::NT4, sim::WindowsVersion::WinXP}) {
    EXPECT_EQ(StartOn(version, {"01:05.0=7C5A:0111"}, "", ".\\SETUP.EXE"), "SetupMainDialog");
    EXPECT_EQ(StartOn(version, {"01:05.0=7C5A:0111"}, "", "SETUP.EXE"), "SetupMainDialog");
  }
}

TEST(StartupDetection, StartedFromANetworkShare) {
  // The disc copied to a share and started from Explorer: the option file is read from the
  // share, and the detection driver loads from it, on either family.
  for (auto version : {sim::WindowsVersion::Win98SE, sim::WindowsVersion::WinXP}) {
    sim::SimMachine machine(version);
    ASSERT_TRUE(machine.Files().AddShare("\\\\server\\drivers", true));
    machine.Files().WriteFileDirect("\\\\server\\drivers\\Disc\\SETUP.EXE", "MZ");
    machine.Files().WriteFileDirect("\\\\server\\drivers\\Disc\\orvainfo.sys", "driver");
    machine.Files().WriteFileDirect("\\\\server\\drivers\\Disc\\setup.ini", kCodecVariant);
    std::string error;
    for (const char* device : {"00:1F.0=8086:2440", "00:1F.5=8086:2445"}) {
      std::string text = device;
      machine.Hardware().AddDevice(*sim::ParsePciDevice(text.substr(0, 7), text.substr(8), error));
    }
    machine.SetCommandLine("\\\\server\\drivers\\Disc\\SETUP.EXE", "");
    RecordingServices services(machine.Platform());
    app::SetupApp setup(machine.Platform(), services);
    setup.InitInstance();
    EXPECT_EQ(setup.Context().sourceDir, "\\\\server\\drivers\\Disc\\");
    EXPECT_EQ(setup.Detection().udaMode, 1);  // the share's option file was read
    EXPECT_EQ(services.shown, "SetupMainDialog");
  }
}

TEST(StartupDetection, TheCodecVariantOnEveryController) {
  for (auto version : {sim::WindowsVersion::Win98SE, sim::WindowsVersion::WinXP}) {
    // Each controller is a function of a device whose function 0 is its bridge.
    const std::string bridges[] = {"00:1F.0=8086:2440", "00:02.0=1039:0008", "00:11.0=1106:3074"};
    for (const char* controller :
         {"00:1F.5=8086:2415", "00:1F.5=8086:2425 decoding=off", "00:1F.5=8086:2445 coldreset",
          "00:02.7=1039:7012", "00:11.5=1106:3058", "00:11.5=1106:3059 decoding=off"}) {
      std::vector<std::string> devices(std::begin(bridges), std::end(bridges));
      devices.push_back(controller);
      EXPECT_EQ(StartOn(version, devices, kCodecVariant), "SetupMainDialog") << controller;
      devices.back() += " codec=4F52:0000";
      EXPECT_EQ(StartOn(version, devices, kCodecVariant), "NoChipDialog") << controller;
    }
    EXPECT_EQ(StartOn(version, {"01:05.0=7C5A:0111"}, kCodecVariant), "NoChipDialog");
  }
}

}  // namespace
