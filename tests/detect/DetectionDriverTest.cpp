// The detection driver on the simulated service manager: the request per mode, the reply, the
// service's life, and every way it can fail.
#include <gtest/gtest.h>

#include "detect/DetectionDriver.h"
#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using sim::DriverAnswer;

class DetectionDriver : public ::testing::Test {
 protected:
  DetectionDriver() : machine(sim::WindowsVersion::WinXP) {
    machine.Files().AddDrive('D', true);
    machine.Files().WriteFileDirect("D:\\orvainfo.sys", "driver", win::FILE_ATTRIBUTE_READONLY);
  }
  void Add(const char* slot, const char* text) {
    std::string error;
    machine.Hardware().AddDevice(*sim::ParsePciDevice(slot, text, error));
  }
  app::DetectionState Run(int udaMode, const std::string& sourceDir = "D:\\") {
    app::DetectionState detection;
    detection.udaMode = udaMode;
    detect::RunDetectionDriver(machine.Platform().services, machine.Platform().files, sourceDir,
                               detection);
    return detection;
  }
  int Count(const std::string& text) { return testsupport::JournalCount(machine, text); }
  void ExpectNothingLeft() {
    EXPECT_TRUE(machine.Services().Registered().empty());
    EXPECT_EQ(machine.Services().OpenHandleCount(), 0u);
  }
  sim::SimMachine machine;
};

TEST_F(DetectionDriver, TheMakersChipIsAskedForByItsIds) {
  Add("00:0B.0", "7C5A:0111");
  app::DetectionState found = Run(0);
  EXPECT_EQ(machine.Services().LastRequest(),
            (std::vector<std::uint8_t>{0x5A, 0x7C, 0x00, 0x00, 0x11, 0x01, 0x00, 0x00}));
  EXPECT_EQ(found.chipVendorId, 0x7C5A);
  EXPECT_EQ(found.chipDeviceId, 0x0111);
  EXPECT_EQ(found.chipSignature[0], 0);
  EXPECT_EQ(found.chipSignature[1], 0);
  EXPECT_EQ(Count("create \"orvainfo\" type 1 start 3 binary D:\\orvainfo.sys"), 1);
  ExpectNothingLeft();
}

TEST_F(DetectionDriver, TheCodecIsAskedForWithZeros) {
  Add("00:1F.5", "8086:2445 codec=4F52:5641 decoding=off");
  app::DetectionState found = Run(1);
  EXPECT_EQ(machine.Services().LastRequest(), std::vector<std::uint8_t>(8, 0));
  EXPECT_EQ(found.chipVendorId, 0x8086);
  EXPECT_EQ(found.chipDeviceId, 0x2445);
  EXPECT_EQ(found.chipSignature[0], 0x4F52);
  EXPECT_EQ(found.chipSignature[1], 0x5641);
  // The driver reads the hardware itself: nothing changed on the controller.
  EXPECT_EQ(machine.Hardware().ConfigWord(0, 0x1F, 5, 0x04), 0x0000);
}

TEST_F(DetectionDriver, AShortAnswerFailsTheQueryButIsTaken) {
  Add("00:0B.0", "7C5A:0111");
  machine.Services().SetDriverAnswer(DriverAnswer::Short);
  detect::IdentityReply reply{};
  platform::Services& services = machine.Platform().services;
  platform::ServiceHandle manager = services.OpenServiceManager(win::SC_MANAGER_ALL_ACCESS);
  ASSERT_EQ(detect::CreateDriverService(services, manager, "orvainfo", "D:\\orvainfo.sys"), 1);
  ASSERT_EQ(detect::StartDriverService(services, manager, "orvainfo"), 1);
  EXPECT_EQ(detect::QueryChipIdentity(services, "orvainfo", 0, reply), 0);
  EXPECT_EQ(reply[0], 0x5A);
  EXPECT_EQ(reply[1], 0x7C);
  EXPECT_EQ(detect::StopDriverService(services, manager, "orvainfo"), 1);
  EXPECT_EQ(detect::DeleteDriverService(services, manager, "orvainfo"), 1);
  EXPECT_EQ(detect::DeleteDriverService(services, manager, "orvainfo"), 0);
  EXPECT_EQ(detect::QueryChipIdentity(services, "orvainfo", 0, reply), 0);  // no device now
  services.CloseServiceHandle(manager);
  ExpectNothingLeft();
  EXPECT_EQ(Run(0).chipDeviceId, 0x0111);
}

TEST_F(DetectionDriver, ALeftoverRegistrationIsUsedAndRemoved) {
  Add("00:0B.0", "7C5A:0111");
  platform::ServiceConfig leftover;
  leftover.serviceName = "orvainfo";
  leftover.binaryPath = "D:\\orvainfo.sys";
  machine.Services().AddService(leftover, false);
  EXPECT_EQ(Run(0).chipDeviceId, 0x0111);
  EXPECT_EQ(Count("create \"orvainfo\""), 0);
  EXPECT_EQ(Count("start \"orvainfo\""), 1);
  ExpectNothingLeft();
  // Even one left running.
  machine.Services().AddService(leftover, true);
  EXPECT_EQ(Run(0).chipDeviceId, 0x0111);
  ExpectNothingLeft();
}

TEST_F(DetectionDriver, TwoRunsInARow) {
  Add("00:0B.0", "7C5A:0111");
  EXPECT_EQ(Run(0).chipDeviceId, 0x0111);
  EXPECT_EQ(Run(0).chipDeviceId, 0x0111);
  EXPECT_EQ(Count("create \"orvainfo\""), 2);
  EXPECT_EQ(Count("\"orvainfo\" removed"), 2);
  ExpectNothingLeft();
}

TEST_F(DetectionDriver, FailuresLeaveNoChipAndNothingRegistered) {
  Add("00:0B.0", "7C5A:0111");
  struct Case {
    const char* what;
    std::function<void(sim::SimMachine&)> arrange;
  } cases[] = {
      {"no administrator", [](sim::SimMachine& m) { m.Services().SetAdministrator(false); }},
      {"no driver file", [](sim::SimMachine& m) { m.Files().RemoveDirect("D:\\orvainfo.sys"); }},
      {"driver does not load", [](sim::SimMachine& m) { m.Services().SetDriverLoads(false); }},
      {"no answer", [](sim::SimMachine& m) { m.Services().SetDriverAnswer(DriverAnswer::None); }},
      {"device does not open",
       [](sim::SimMachine& m) { m.InjectedFaults().FailEvery(sim::Call::CreateFileA, 5); }},
      {"request fails",
       [](sim::SimMachine& m) { m.InjectedFaults().FailEvery(sim::Call::DeviceIoControl, 31); }},
      {"service does not open",
       [](sim::SimMachine& m) { m.InjectedFaults().FailNth(sim::Call::OpenServiceA, 1, 5); }},
  };
  for (const Case& c : cases) {
    sim::SimMachine fresh(sim::WindowsVersion::WinXP);
    fresh.Files().AddDrive('D', true);
    fresh.Files().WriteFileDirect("D:\\orvainfo.sys", "driver");
    std::string error;
    fresh.Hardware().AddDevice(*sim::ParsePciDevice("00:0B.0", "7C5A:0111", error));
    c.arrange(fresh);
    app::DetectionState detection;
    detect::RunDetectionDriver(fresh.Platform().services, fresh.Platform().files, "D:\\",
                               detection);
    EXPECT_EQ(detection.chipVendorId, 0) << c.what;
    EXPECT_EQ(detection.chipDeviceId, 0) << c.what;
    EXPECT_EQ(fresh.Services().OpenHandleCount(), 0u) << c.what;
    EXPECT_TRUE(fresh.Services().Registered().empty()) << c.what;
  }
}

TEST_F(DetectionDriver, AGarbageAnswerIsCopiedAsItCame) {
  Add("00:0B.0", "7C5A:0111");
  machine.Services().SetDriverAnswer(DriverAnswer::Garbage);
  app::DetectionState found = Run(0);
  EXPECT_FALSE(found.chipVendorId == 0x7C5A && found.chipDeviceId == 0x0111);
  EXPECT_FALSE(found.chipVendorId == 0 && found.chipDeviceId == 0);
  ExpectNothingLeft();
}

TEST_F(DetectionDriver, NothingFoundIsZero) {
  Add("00:1F.5", "8086:2445 codec=1234:5678");
  app::DetectionState found = Run(1);
  EXPECT_EQ(found.chipVendorId, 0);
  EXPECT_EQ(found.chipSignature[0], 0);
  EXPECT_EQ(Run(0).chipVendorId, 0);
}

TEST_F(DetectionDriver, AFolderRelativeToTheCurrentDirectoryReachesTheServiceManagerInFull) {
  Add("00:0B.0", "7C5A:0111");
  // Started as "setup" in a command prompt on D:, the launcher's folder is "D:.\\".
  machine.Files().SetCurrentFolderDirect("D:\\");
  EXPECT_EQ(Run(0, "D:.\\").chipDeviceId, 0x0111);
  EXPECT_EQ(Count("binary D:\\orvainfo.sys"), 1);
  ExpectNothingLeft();
  // With the current directory on another drive, "D:." is the root of D:.
  machine.Files().SetCurrentFolderDirect("C:\\WINDOWS");
  EXPECT_EQ(Run(0, "D:.\\").chipDeviceId, 0x0111);
  EXPECT_EQ(Count("binary D:\\orvainfo.sys"), 2);
  ExpectNothingLeft();
}

TEST_F(DetectionDriver, TheServiceManagerRefusesAPathThatIsNotFull) {
  machine.Files().SetCurrentFolderDirect("D:\\");
  machine.Files().AddShare("\\\\FileSrv\\CD", true);
  machine.Files().WriteFileDirect("\\\\FileSrv\\CD\\orvainfo.sys", "driver");
  platform::Services& services = machine.Platform().services;
  platform::ServiceHandle manager = services.OpenServiceManager(win::SC_MANAGER_ALL_ACCESS);
  // Each of these names the driver file from our current directory, but not from the service
  // manager's.
  for (const char* path : {"D:.\\orvainfo.sys", "D:orvainfo.sys", "orvainfo.sys", ".\\orvainfo.sys",
                           "\\orvainfo.sys"}) {
    ASSERT_NE(machine.Files().Find(path), nullptr) << path;
    ASSERT_EQ(detect::CreateDriverService(services, manager, "orvainfo", path), 1) << path;
    EXPECT_EQ(detect::StartDriverService(services, manager, "orvainfo"), 0) << path;
    EXPECT_EQ(machine.GetLastError(), win::ERROR_FILE_NOT_FOUND) << path;
    EXPECT_EQ(detect::DeleteDriverService(services, manager, "orvainfo"), 1) << path;
  }
  for (const char* path :
       {"D:\\orvainfo.sys", "d:/orvainfo.sys", "\\\\filesrv\\cd\\orvainfo.sys"}) {
    ASSERT_EQ(detect::CreateDriverService(services, manager, "orvainfo", path), 1) << path;
    EXPECT_EQ(detect::StartDriverService(services, manager, "orvainfo"), 1) << path;
    EXPECT_EQ(detect::StopDriverService(services, manager, "orvainfo"), 1) << path;
    EXPECT_EQ(detect::DeleteDriverService(services, manager, "orvainfo"), 1) << path;
  }
  services.CloseServiceHandle(manager);
  ExpectNothingLeft();
  EXPECT_EQ(Count("failed: not a full path"), 5);
}

TEST_F(DetectionDriver, APathThatCannotBeCompletedIsPassedAsItIs) {
  Add("00:0B.0", "7C5A:0111");
  machine.Files().SetCurrentFolderDirect("D:\\");
  // GetFullPathNameA fails: a full folder still works, a relative one does not.
  machine.InjectedFaults().FailEvery(sim::Call::GetFullPathNameA, win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Run(0, "D:\\").chipDeviceId, 0x0111);
  EXPECT_EQ(Run(0, "D:.\\").chipDeviceId, 0);
  EXPECT_EQ(Count("binary D:.\\orvainfo.sys"), 1);
  ExpectNothingLeft();
  machine.InjectedFaults().Clear();

  // The full path would not fit into 260 characters.
  const std::string deep = "D:\\" + std::string(250, 'f');
  machine.Files().MakeFoldersDirect(deep);
  machine.Files().SetCurrentFolderDirect(deep);
  EXPECT_EQ(Run(0, "D:.\\").chipDeviceId, 0);
  EXPECT_EQ(Count("binary D:.\\orvainfo.sys"), 2);
  ExpectNothingLeft();
}

}  // namespace
