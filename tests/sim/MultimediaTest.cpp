// The simulated machine's multimedia system: mixer names as a driver fills their field, and
// driver libraries that load from their files, answer as they are set to, and are journalled.
#include <gtest/gtest.h>

#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

constexpr const char* kLibrary = "C:\\WINNT\\system32\\ov-pci.dll";

TEST(SimMixers, NamesAreWhatFitsTheCapabilitiesField) {
  sim::SimMachine machine(sim::WindowsVersion::NT4);
  platform::Multimedia& multimedia = machine.Platform().multimedia;
  EXPECT_EQ(multimedia.MixerCount(), 0u);
  const std::string full(32, 'M');
  machine.Multimedia().AddMixer("Orvanta PCI Mixer");
  machine.Multimedia().AddMixer(full);
  machine.Multimedia().AddMixer(full + "and more");
  machine.Multimedia().AddMixer("");
  ASSERT_EQ(multimedia.MixerCount(), 4u);
  std::string name;
  ASSERT_TRUE(multimedia.MixerProductName(0, name));
  EXPECT_EQ(name, "Orvanta PCI Mixer");
  // A name that fills the field has no terminating zero: it ends with the field.
  ASSERT_TRUE(multimedia.MixerProductName(1, name));
  EXPECT_EQ(name, full);
  ASSERT_TRUE(multimedia.MixerProductName(2, name));
  EXPECT_EQ(name, full);
  ASSERT_TRUE(multimedia.MixerProductName(3, name));
  EXPECT_EQ(name, "");
  EXPECT_FALSE(multimedia.MixerProductName(4, name));
  machine.Multimedia().ClearMixers();
  EXPECT_EQ(multimedia.MixerCount(), 0u);
}

TEST(SimDriverLibraries, AnyFileThereOpensAndAnswersAsALibraryWithAConfigurationDialog) {
  sim::SimMachine machine(sim::WindowsVersion::NT4);
  platform::Multimedia& multimedia = machine.Platform().multimedia;
  EXPECT_TRUE(multimedia.OpenDriver(kLibrary).IsNull());
  EXPECT_TRUE(multimedia.OpenDriver("C:\\WINNT\\system32").IsNull());  // a folder
  EXPECT_TRUE(multimedia.OpenDriver("").IsNull());
  machine.Files().WriteFileDirect(kLibrary, "MZ");
  platform::DriverHandle driver = multimedia.OpenDriver("c:\\winnt\\SYSTEM32\\OV-PCI.DLL");
  ASSERT_FALSE(driver.IsNull());
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_INSTALL, 0x4711, 0), 2);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 1);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_CONFIGURE, 0x4711, 0), 1);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, 0x4000, 0, 0), 0);
  multimedia.CloseDriver(driver);
  multimedia.CloseDriver(driver);  // a second close reaches nothing
  EXPECT_EQ(machine.Multimedia().OpenDriverCount(), 0u);
  std::vector<std::string> journal = testsupport::JournalTexts(machine, "driver");
  ASSERT_EQ(journal.size(), 13u);
  EXPECT_EQ(journal[0], "OpenDriver \"C:\\WINNT\\system32\\ov-pci.dll\": no driver library there");
  EXPECT_EQ(journal[3], "C:\\winnt\\SYSTEM32\\OV-PCI.DLL: DRV_LOAD (0, 0) answers 1");
  EXPECT_EQ(journal[6], "C:\\winnt\\SYSTEM32\\OV-PCI.DLL: DRV_INSTALL (0x4711, 0) answers 2");
  EXPECT_EQ(journal[9], "C:\\winnt\\SYSTEM32\\OV-PCI.DLL: message 16384 (0, 0) answers 0");
  EXPECT_EQ(journal[10], "C:\\winnt\\SYSTEM32\\OV-PCI.DLL: DRV_CLOSE (0, 0) answers 1");
  EXPECT_EQ(journal[12], "C:\\winnt\\SYSTEM32\\OV-PCI.DLL: DRV_FREE (0, 0) answers 1");
}

TEST(SimDriverLibraries, ALibraryAnswersAsItsNameOrItsPathSays) {
  sim::SimMachine machine(sim::WindowsVersion::NT4);
  platform::Multimedia& multimedia = machine.Platform().multimedia;
  machine.Files().WriteFileDirect(kLibrary, "MZ");
  machine.Files().WriteFileDirect("C:\\Disc\\ov-pci.dll", "MZ");
  machine.Files().WriteFileDirect("C:\\WINNT\\system32\\QAC97U4.dll", "MZ");
  machine.Multimedia().SetLibrary("OV-PCI.DLL", sim::DriverLibrary{true, false});
  machine.Multimedia().SetLibrary("C:\\Disc\\ov-pci.dll", sim::DriverLibrary{false, false});

  // By name, in any folder; a path's own setting first.
  platform::DriverHandle driver = multimedia.OpenDriver(kLibrary);
  ASSERT_FALSE(driver.IsNull());
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 0);
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_CONFIGURE, 0, 0), 0);
  multimedia.CloseDriver(driver);
  EXPECT_TRUE(multimedia.OpenDriver("C:\\Disc\\ov-pci.dll").IsNull());
  EXPECT_EQ(testsupport::JournalTexts(machine, "driver").back(),
            "OpenDriver \"C:\\Disc\\ov-pci.dll\": the library refused to load");
  // Another library keeps the default.
  driver = multimedia.OpenDriver("C:\\WINNT\\system32\\QAC97U4.dll");
  EXPECT_EQ(multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0), 1);
  multimedia.CloseDriver(driver);
  EXPECT_EQ(machine.Multimedia().OpenDriverCount(), 0u);
}

TEST(SimDriverLibraries, TheTextAfterABlankIsTheDriversArguments) {
  sim::SimMachine machine(sim::WindowsVersion::NT4);
  platform::Multimedia& multimedia = machine.Platform().multimedia;
  machine.Files().WriteFileDirect("C:\\Program Files\\ov-pci.dll", "MZ");
  EXPECT_TRUE(multimedia.OpenDriver("C:\\Program Files\\ov-pci.dll").IsNull());
  machine.Files().WriteFileDirect("C:\\Program", "MZ");
  platform::DriverHandle driver = multimedia.OpenDriver("C:\\Program Files\\ov-pci.dll");
  ASSERT_FALSE(driver.IsNull());
  EXPECT_EQ(machine.Multimedia().Messages().front().path, "C:\\Program");
  multimedia.CloseDriver(driver);
}

TEST(SimDriverLibraries, ARestartTakesTheOpenDriversAway) {
  sim::SimMachine machine(sim::WindowsVersion::NT4);
  machine.Files().WriteFileDirect(kLibrary, "MZ");
  platform::DriverHandle driver = machine.Platform().multimedia.OpenDriver(kLibrary);
  ASSERT_FALSE(driver.IsNull());
  machine.Restart();
  EXPECT_EQ(machine.Multimedia().OpenDriverCount(), 0u);
  std::size_t delivered = machine.Multimedia().Messages().size();
  EXPECT_EQ(machine.Platform().multimedia.SendDriverMessage(driver, win::DRV_INSTALL, 0, 0), 0);
  EXPECT_EQ(machine.Multimedia().Messages().size(), delivered);
}

}  // namespace
