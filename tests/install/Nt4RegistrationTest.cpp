// The NT 4.0 driver registration: the installed-driver check over the mixers, the replacement
// at the next start, the in-place install with each variant's files, the driver lists' ten
// slots, the install messages to the library, and the uninstall entry.
#include <algorithm>
#include <map>

#include "install/DriverLists.h"
#include "install/InstallDriverCommand.h"
#include "install/Nt4Registration.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

constexpr const char* kDrivers32 =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
constexpr const char* kDescriptions =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers.Desc";
constexpr const char* kUninstall =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex Driver";

class Nt4Registration : public InstallTest {
 protected:
  Nt4Registration() : InstallTest(sim::WindowsVersion::NT4) {
    // The driver lists of a fresh Windows NT 4.0, with its mappers.
    Import(std::string("[") + kDrivers32 +
           "]\r\n\"midimapper\"=\"midimap.dll\"\r\n\"wavemapper\"=\"msacm32.drv\"\r\n[" +
           kDescriptions + "]\r\n\"midimap.dll\"=\"Microsoft MIDI Mapper\"\r\n");
    Disc("NT40\\drv\\ov-pci.dll", "new library");
    Disc("NT40\\drv\\ovpci.sys", "new kernel driver");
    Disc("NT40\\drv\\OVUninst.exe", "new uninstaller");
  }

  void Import(const std::string& body) {
    std::string error;
    ASSERT_TRUE(machine.Registry().Import("REGEDIT4\r\n\r\n" + body, error)) << error;
  }
  void Run() { install::InstallNt4Driver(session); }
  // A value's text (data up to its first zero), or nothing.
  std::optional<std::string> Value(const std::string& key, const std::string& name) {
    const sim::RegValue* value = machine.Registry().FindValue(key, name);
    if (value == nullptr) {
      return std::nullopt;
    }
    auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
    return std::string(value->data.begin(), end);
  }
  // Every value of a key that names `text`, by name.
  std::vector<std::string> NamesHolding(const std::string& key, const std::string& text) {
    std::vector<std::string> names;
    const sim::RegNode* node = machine.Registry().FindKey(key);
    for (const sim::RegValue& value :
         node == nullptr ? std::vector<sim::RegValue>{} : node->values) {
      if (Value(key, value.name) == text) {
        names.push_back(value.name);
      }
    }
    return names;
  }
  // The messages the library received, as "MESSAGE PARAM1", without the load and unload ones.
  std::vector<std::string> InstallMessages() {
    std::vector<std::string> messages;
    for (const sim::DriverMessage& message : machine.Multimedia().Messages()) {
      if (message.message >= win::DRV_CONFIGURE) {
        messages.push_back(std::to_string(message.message) + " " + std::to_string(message.param1));
      }
    }
    return messages;
  }
  // The moves scheduled for the next start, in order.
  std::vector<std::string> Scheduled() {
    std::vector<std::string> scheduled;
    for (const std::string& line : Journal("file")) {
      if (line.find("at next start") != std::string::npos) {
        scheduled.push_back(line);
      }
    }
    return scheduled;
  }
  bool NothingLeftOpen() {
    return machine.Registry().OpenHandleCount() == 0 &&
           machine.Multimedia().OpenDriverCount() == 0 && machine.Files().OpenSearchCount() == 0;
  }
  // An earlier driver's files in their places.
  void InstalledEarlier() {
    machine.Files().WriteFileDirect(windows + "System32\\ov-pci.dll", "old library");
    machine.Files().WriteFileDirect(windows + "System32\\Drivers\\ovpci.sys", "old kernel driver");
    machine.Files().WriteFileDirect(windows + "OVUninst.exe", "old uninstaller");
  }

  const std::string owner = std::to_string(ScriptedUser::kMainWindow.value);
  const std::vector<std::string> sentWithConfiguration{"9 " + owner, "8 0", "7 " + owner};
};

TEST_F(Nt4Registration, WithNoActiveDriverTheFilesGoInPlaceAndTheLibraryIsRegistered) {
  Run();
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "new library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\ovpci.sys"), "new kernel driver");
  EXPECT_EQ(Read(windows + "OVUninst.exe"), "new uninstaller");
  // The copies keep the disc's read-only attribute.
  EXPECT_EQ(machine.Files().GetAttributes(windows + "System32\\ov-pci.dll"),
            win::FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll"),
            (std::vector<std::string>{"aux", "midi", "mixer", "wave"}));
  EXPECT_EQ(Value(kDescriptions, "ov-pci.dll"), "Orvanta PCI Device");
  // Strings are written with their terminating zero.
  const sim::RegValue* aux = machine.Registry().FindValue(kDrivers32, "aux");
  ASSERT_NE(aux, nullptr);
  EXPECT_EQ(aux->type, win::REG_SZ);
  EXPECT_EQ(aux->data.size(), std::string("ov-pci.dll").size() + 1);
  EXPECT_EQ(aux->data.back(), 0);

  ASSERT_FALSE(machine.Multimedia().Messages().empty());
  EXPECT_EQ(machine.Multimedia().Messages().front().path, "C:\\WINNT\\system32\\ov-pci.dll");
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);

  EXPECT_EQ(Value(kUninstall, "DisplayName"), "Sonavex Driver");
  EXPECT_EQ(Value(kUninstall, "UninstallString"), "C:\\WINNT\\OVUninst.exe");
  const sim::RegValue* command = machine.Registry().FindValue(kUninstall, "UninstallString");
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(command->data.size(), std::string("C:\\WINNT\\OVUninst.exe").size() + 1);
  EXPECT_TRUE(Journal("restart").empty());
  EXPECT_TRUE(NothingLeftOpen());
}

// "Install Device Driver" on NT 4.0 runs the registration, then offers the restart; within the
// combined command it notes the restart in the state file instead.
TEST_F(Nt4Registration, TheInstallDriverCommandRunsItOnNt4) {
  install::SetupCommands setupCommands;
  install::Session real{machine.Platform(), state, context, detection, user, setupCommands};
  ASSERT_TRUE(state.isNT4);
  install::OnInstallDriver(real);
  EXPECT_EQ(Value(kDrivers32, "wave"), "ov-pci.dll");
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);
  EXPECT_EQ(user.ends, (std::vector<std::string>{"restart offered", "ended 1"}));

  state.combinedInstall = 1;
  user.ends.clear();
  install::OnInstallDriver(real);
  EXPECT_TRUE(user.ends.empty());
  EXPECT_NE(StateFile().find("[Need_To_Reboot]\r\nInstall=YES"), std::string::npos) << StateFile();
}

TEST_F(Nt4Registration, AnUninstallerInAFolderWithABlankIsRegisteredQuoted) {
  machine.Files().MakeFoldersDirect("C:\\My Windows\\System32\\Drivers");
  machine.Files().SetWindowsFolder("C:\\My Windows");
  Run();
  EXPECT_EQ(Value(kUninstall, "UninstallString"), "\"C:\\My Windows\\OVUninst.exe\"");
}

TEST_F(Nt4Registration, TwoInPlaceInstallsLeaveOneEntryPerKind) {
  Run();
  machine.Files().WriteFileDirect("D:\\NT40\\drv\\ov-pci.dll", "newer library",
                                  win::FILE_ATTRIBUTE_READONLY);
  Run();
  // The read-only copy of the first install is reset and replaced.
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "newer library");
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll"),
            (std::vector<std::string>{"aux", "midi", "mixer", "wave"}));
  EXPECT_EQ(NamesHolding(kDescriptions, "Orvanta PCI Device"),
            std::vector<std::string>{"ov-pci.dll"});
  EXPECT_EQ(Value(kDrivers32, "midimapper"), "midimap.dll");
  EXPECT_EQ(InstallMessages().size(), 6u);  // the library installs itself each time
}

TEST_F(Nt4Registration, AKindHeldByAnotherLibraryTakesTheNextSlot) {
  // Texts compare as written: the library's name in capitals is another library's.
  Import(std::string("[") + kDrivers32 +
         "]\r\n\"midi\"=\"mpu401.dll\"\r\n\"mixer\"=\"OV-PCI.DLL\"\r\n");
  Run();
  EXPECT_EQ(Value(kDrivers32, "midi"), "mpu401.dll");
  EXPECT_EQ(Value(kDrivers32, "mixer"), "OV-PCI.DLL");
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll"),
            (std::vector<std::string>{"aux", "midi1", "mixer1", "wave"}));
  EXPECT_EQ(Value(kDescriptions, "ov-pci.dll"), "Orvanta PCI Device");
}

TEST_F(Nt4Registration, AllTenSlotsOfAKindTakenStopTheRegistrationThereOnly) {
  std::string slots = std::string("[") + kDrivers32 + "]\r\n\"midi\"=\"other0.dll\"\r\n";
  for (int digit = 1; digit <= 9; ++digit) {
    slots += "\"midi" + std::to_string(digit) + "\"=\"other" + std::to_string(digit) + ".dll\"\r\n";
  }
  Import(slots);
  Run();
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll"), std::vector<std::string>{"aux"});
  EXPECT_EQ(Value(kDrivers32, "midi10"), std::nullopt);  // there is no slot 10
  EXPECT_EQ(Value(kDescriptions, "ov-pci.dll"), std::nullopt);
  // The library is still opened and installs itself, and the uninstall entry depends on that
  // alone.
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);
  EXPECT_EQ(Value(kUninstall, "UninstallString"), "C:\\WINNT\\OVUninst.exe");
  EXPECT_TRUE(NothingLeftOpen());

  EXPECT_EQ(install::AddDriverValue(machine.Platform().registry, install::kDriverListKey, "midi",
                                    "ov-pci.dll"),
            -1);
  EXPECT_EQ(install::AddDriverValue(machine.Platform().registry, install::kDriverListKey, "midi",
                                    "other7.dll"),
            0);
  // Nine slots held, the tenth free: the last slot takes the library.
  Import(std::string("[") + kDrivers32 + "]\r\n\"midi9\"=-\r\n");
  EXPECT_EQ(install::AddDriverValue(machine.Platform().registry, install::kDriverListKey, "midi",
                                    "ov-pci.dll"),
            0);
  EXPECT_EQ(Value(kDrivers32, "midi9"), "ov-pci.dll");
}

TEST_F(Nt4Registration, OddValuesInTheDriverListAreReadAsTheirBytesUpToAZero) {
  std::string longText(2000, 'x');
  Import(std::string("[") + kDrivers32 +
         "]\r\n"
         "\"aux\"=dword:00000005\r\n"
         // The library's name stored without its zero, as binary data: it is there already.
         "\"midi\"=hex:6f,76,2d,70,63,69,2e,64,6c,6c\r\n"
         // Longer than the 1024-byte read: another driver's, kept; the next slot is taken.
         "\"mixer\"=\"" +
         longText +
         "\"\r\n"
         "\"wave\"=\"\"\r\n"
         // The first free slot takes the library, even with the library further on.
         "\"aux1\"=\"other.dll\"\r\n\"aux3\"=\"ov-pci.dll\"\r\n");
  Run();
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll"),
            (std::vector<std::string>{"midi", "aux3", "aux2", "mixer1", "wave1"}));
  EXPECT_EQ(machine.Registry().FindValue(kDrivers32, "mixer")->data.size(), longText.size() + 1);
  EXPECT_EQ(machine.Registry().FindValue(kDrivers32, "aux")->type, win::REG_DWORD);
  EXPECT_EQ(machine.Registry().FindValue(kDrivers32, "midi")->type, win::REG_BINARY);
  EXPECT_EQ(machine.Registry().FindValue(kDrivers32, "mixer")->type, win::REG_SZ);
  EXPECT_EQ(Value(kDrivers32, "wave"), "");
  EXPECT_TRUE(NothingLeftOpen());
}

TEST_F(Nt4Registration, WithoutTheDriverListsNothingIsRegisteredButTheLibraryInstalls) {
  machine.Registry().EnsureKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT");
  platform::Registry& registry = machine.Platform().registry;
  platform::RegKey key;
  ASSERT_EQ(registry.OpenKey(win::HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT",
                             win::KEY_ALL_ACCESS, key),
            0);
  ASSERT_EQ(registry.DeleteKey(key, "CurrentVersion"), 0);
  registry.CloseKey(key);
  Run();
  // The lists are opened, never created.
  EXPECT_EQ(machine.Registry().FindKey(kDrivers32), nullptr);
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);
  EXPECT_EQ(Value(kUninstall, "DisplayName"), "Sonavex Driver");
}

TEST(MakersMixer, TheNameOrItsBeginningInAnyCaseMarksTheMakersDriver) {
  const std::map<std::string, bool> names{
      {"Orvanta Audio Mixer", true},
      {"ORVANTA AUDIO MIXER", true},
      {"orvanta 6490 mixer", true},
      {"Orvanta PCI Mixer", true},
      {"oRVANTA pci MIXER #2", true},  // begins with a candidate
      {"ov6430 pci mixer", true},
      {"OV6430 PCI Mixer (wave)", true},
      {"A mixer by Orvanta", true},  // "Orvanta" as written, anywhere
      {"OV6430 PCI", false},         // shorter than the candidate
      {"Xrvanta Audio Mixer", false},
      {"A mixer by ORVANTA", false},  // in other case, and no candidate at its start
      {"orvanta wave", false},
      {" Orvanta PCI Mixer", true},
      {" orvanta pci mixer", false},
      {"OV6430 PCI-Mixer", false},
      {"", false},
  };
  for (const auto& [name, makers] : names) {
    EXPECT_EQ(install::IsMakersMixer(name), makers) << '"' << name << '"';
  }
}

TEST_F(Nt4Registration, AMixerOfTheMakersDriverMeansAReplacementAtTheNextStart) {
  InstalledEarlier();
  machine.Multimedia().AddMixer("Generic Wave Mixer");
  machine.Multimedia().AddMixer("ORVANTA 6490 MIXER");
  Run();
  // The disc's files under the temporary names; the installed ones as they were.
  EXPECT_EQ(Read(windows + "System32\\ov-pci.new"), "new library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\ovpci.new"), "new kernel driver");
  EXPECT_EQ(Read(windows + "OVUninst.new"), "new uninstaller");
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "old library");
  // Nothing registered, nothing opened, no uninstall entry.
  EXPECT_TRUE(Journal("registry").empty());
  EXPECT_TRUE(machine.Multimedia().Messages().empty());
  EXPECT_EQ(Journal("ui"), (std::vector<std::string>{"wait cursor", "arrow cursor"}));

  machine.Restart();
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "new library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\ovpci.sys"), "new kernel driver");
  EXPECT_EQ(Read(windows + "OVUninst.exe"), "new uninstaller");
  for (const char* temporary :
       {"System32\\ov-pci.new", "System32\\Drivers\\ovpci.new", "OVUninst.new"}) {
    EXPECT_FALSE(Exists(windows + temporary)) << temporary;
  }
  EXPECT_EQ(Value(kUninstall, "DisplayName"), std::nullopt);
}

TEST_F(Nt4Registration, TheLibraryAndKernelDriverAreReplacedTogetherOrNotAtAll) {
  InstalledEarlier();
  machine.Multimedia().AddMixer("Orvanta PCI Mixer");
  machine.Files().RemoveDirect("D:\\NT40\\drv\\ovpci.sys");  // not on the disc
  Run();
  // The library's new copy is taken away again; the uninstaller is replaced on its own.
  EXPECT_FALSE(Exists(windows + "System32\\ov-pci.new"));
  EXPECT_FALSE(Exists(windows + "System32\\Drivers\\ovpci.new"));
  EXPECT_EQ(Scheduled(),
            (std::vector<std::string>{
                "delete at next start C:\\WINNT\\OVUninst.exe",
                "move at next start C:\\WINNT\\OVUninst.new -> C:\\WINNT\\OVUninst.exe"}));
  machine.Restart();
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "old library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\ovpci.sys"), "old kernel driver");
  EXPECT_EQ(Read(windows + "OVUninst.exe"), "new uninstaller");

  // The library's deletion refused: no rename follows it, nor anything of the kernel driver.
  Disc("NT40\\drv\\ovpci.sys", "new kernel driver");
  machine.Core().journal.clear();
  machine.InjectedFaults().FailNth(sim::Call::MoveFileExA, 1, win::ERROR_ACCESS_DENIED);
  Run();
  EXPECT_EQ(Scheduled().size(), 2u);  // the uninstaller's
  // The kernel driver's deletion refused after the library's two moves were accepted: the list
  // of moves is put back as it was, the uninstaller's replacement then added on its own.
  auto listed = [&] {
    std::vector<std::string> lines;
    for (const auto& rename : machine.PendingRenames()) {
      lines.push_back(rename.source + " -> " + rename.target);
    }
    return lines;
  };
  std::vector<std::string> expected = listed();
  expected.push_back(windows + "OVUninst.exe -> ");
  expected.push_back(windows + "OVUninst.new -> " + windows + "OVUninst.exe");
  machine.InjectedFaults().FailNth(sim::Call::MoveFileExA, 3, win::ERROR_ACCESS_DENIED);
  Run();
  EXPECT_EQ(listed(), expected);
  // A read-only installed file is made deletable before its replacement is scheduled.
  machine.Files().SetAttributes(windows + "System32\\ov-pci.dll", win::FILE_ATTRIBUTE_READONLY);
  Run();
  EXPECT_EQ(machine.Files().GetAttributes(windows + "System32\\ov-pci.dll"),
            win::FILE_ATTRIBUTE_NORMAL);
  machine.Restart();
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "new library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\ovpci.sys"), "new kernel driver");

  // Without the right to write the list of moves, nothing is copied and nothing scheduled.
  machine.Core().journal.clear();
  machine.InjectedFaults().FailNth(sim::Call::RegOpenKeyExA, 1, win::ERROR_ACCESS_DENIED);
  Run();
  EXPECT_TRUE(Scheduled().empty());
  EXPECT_FALSE(Exists(windows + "System32\\ov-pci.new"));
}

TEST_F(Nt4Registration, AMixerNameThatFillsItsFieldIsReadToTheFieldsEndOnly) {
  // "Orvanta" would begin at the field's 27th character and is cut: no driver of the maker.
  machine.Multimedia().AddMixer(std::string(26, 'x') + "Orvanta Mixer");
  Run();
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);

  // A candidate with padding that fills all 32 characters, without a terminating zero.
  machine.Multimedia().ClearMixers();
  machine.Multimedia().AddMixer("Orvanta Audio Mixer" + std::string(13, '.'));
  std::string name;
  ASSERT_TRUE(machine.Platform().multimedia.MixerProductName(0, name));
  ASSERT_EQ(name.size(), 32u);
  EXPECT_TRUE(install::MakersDriverIsActive(machine.Platform().multimedia));
}

TEST_F(Nt4Registration, AMixerWhoseCapabilitiesCannotBeReadIsPassedOver) {
  machine.Multimedia().AddMixer("Orvanta PCI Mixer");
  machine.Multimedia().AddMixer("Generic Wave Mixer");
  machine.InjectedFaults().FailNth(sim::Call::mixerGetDevCapsA, 1, win::ERROR_NOT_ENOUGH_MEMORY);
  Run();
  EXPECT_EQ(InstallMessages(), sentWithConfiguration);  // installed in place
}

TEST_F(Nt4Registration, TheCodecVariantHasNoUninstaller) {
  detection.udaMode = 1;
  Disc("Win_NT40\\drv\\QAC97U4.dll", "codec library");
  Disc("Win_NT40\\drv\\QAC97K4.sys", "codec kernel driver");
  Disc("Win_NT40\\drv\\OVUninst.exe", "not for the codec");
  machine.Multimedia().SetLibrary("QAC97U4.dll", sim::DriverLibrary{true, false});
  Run();
  EXPECT_EQ(Read(windows + "System32\\QAC97U4.dll"), "codec library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\QAC97K4.sys"), "codec kernel driver");
  EXPECT_FALSE(Exists(windows + "OVUninst.exe"));
  EXPECT_EQ(NamesHolding(kDrivers32, "QAC97U4.dll"), (std::vector<std::string>{"mixer", "wave"}));
  EXPECT_EQ(Value(kDescriptions, "QAC97U4.dll"), "Orvanta ORV5970 AC'97 Audio Ctrlr Driver");
  // Without a configuration dialog the library is not asked to show one.
  EXPECT_EQ(InstallMessages(), (std::vector<std::string>{"9 " + owner, "8 0"}));
  EXPECT_EQ(machine.Multimedia().Messages().front().path, "C:\\WINNT\\system32\\QAC97U4.dll");
  EXPECT_EQ(machine.Registry().FindKey(kUninstall), nullptr);

  // With the codec's driver active: two files replaced, still no uninstaller.
  machine.Multimedia().AddMixer("OV6430 PCI Mixer");
  Run();
  EXPECT_TRUE(Exists(windows + "System32\\QAC97U4.new"));
  EXPECT_TRUE(Exists(windows + "System32\\Drivers\\QAC97K4.new"));
  EXPECT_FALSE(Exists(windows + "OVUninst.new"));
}

TEST_F(Nt4Registration, EachVariantFindsItsFilesInEitherDiscLayout) {
  // The PCI chip's files without an "NT40" folder: from "Win_NT40\drv".
  machine.Files().RemoveDirect("D:\\NT40");
  Disc("Win_NT40\\drv\\ov-pci.dll", "library of the other layout");
  Disc("Win_NT40\\drv\\ovpci.sys", "kernel driver of the other layout");
  Disc("Win_NT40\\drv\\OVUninst.exe", "uninstaller of the other layout");
  Run();
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "library of the other layout");
  EXPECT_EQ(Read(windows + "OVUninst.exe"), "uninstaller of the other layout");

  // The codec's files without a "Win_NT40" folder: from "Driver\NT40".
  detection.udaMode = 1;
  machine.Files().RemoveDirect("D:\\Win_NT40");
  Disc("Driver\\NT40\\QAC97U4.dll", "codec library");
  Disc("Driver\\NT40\\QAC97K4.sys", "codec kernel driver");
  Run();
  EXPECT_EQ(Read(windows + "System32\\QAC97U4.dll"), "codec library");
  EXPECT_EQ(Read(windows + "System32\\Drivers\\QAC97K4.sys"), "codec kernel driver");
}

TEST_F(Nt4Registration, ALibraryThatDoesNotOpenGetsNoUninstallEntry) {
  machine.Multimedia().SetLibrary("ov-pci.dll", sim::DriverLibrary{false, true});
  Run();
  EXPECT_EQ(machine.Registry().FindKey(kUninstall), nullptr);
  // The files and the driver lists stay.
  EXPECT_EQ(Read(windows + "System32\\ov-pci.dll"), "new library");
  EXPECT_EQ(Read(windows + "OVUninst.exe"), "new uninstaller");
  EXPECT_EQ(NamesHolding(kDrivers32, "ov-pci.dll").size(), 4u);
  EXPECT_TRUE(InstallMessages().empty());
  EXPECT_TRUE(NothingLeftOpen());

  // Nor does a library that never arrived.
  machine.Multimedia().SetLibrary("ov-pci.dll", sim::DriverLibrary{});
  machine.Files().RemoveDirect(windows + "System32\\ov-pci.dll");
  machine.Files().RemoveDirect("D:\\NT40\\drv\\ov-pci.dll");
  Run();
  EXPECT_EQ(machine.Registry().FindKey(kUninstall), nullptr);
}

TEST_F(Nt4Registration, WithoutTheWindowsFolderTheLibraryIsNotOpened) {
  EXPECT_EQ(install::SendDriverInstallMessages(machine.Platform(), "ov-pci.dll", {}), -1);  // none

  machine.Files().WriteFileDirect(windows + "System32\\ov-pci.dll", "library");
  machine.Files().WriteFileDirect("C:\\system32\\ov-pci.dll", "not below the Windows folder");
  machine.InjectedFaults().FailNth(sim::Call::GetWindowsDirectoryA, 1,
                                   win::ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(install::SendDriverInstallMessages(machine.Platform(), "ov-pci.dll", {}), -1);
  EXPECT_TRUE(machine.Multimedia().Messages().empty());
  EXPECT_EQ(install::SendDriverInstallMessages(machine.Platform(), "ov-pci.dll", {}), 0);
  EXPECT_EQ(InstallMessages(), (std::vector<std::string>{"9 0", "8 0", "7 0"}));

  // The install asks for the folder once more when it opens the library.
  machine.InjectedFaults().FailNth(sim::Call::GetWindowsDirectoryA, 2,
                                   win::ERROR_NOT_ENOUGH_MEMORY);
  Run();
  EXPECT_EQ(InstallMessages().size(), 3u);
  EXPECT_EQ(machine.Registry().FindKey(kUninstall), nullptr);
  // And without it from the start, nothing is installed at all.
  machine.Files().RemoveDirect(windows + "OVUninst.exe");
  machine.InjectedFaults().FailNth(sim::Call::GetWindowsDirectoryA, 1,
                                   win::ERROR_NOT_ENOUGH_MEMORY);
  Run();
  EXPECT_FALSE(Exists(windows + "OVUninst.exe"));
}

// Every platform call of a whole run failed in turn: each run ends, with no key, search or
// driver left open but the one whose closing failed.
TEST(Nt4RegistrationFaults, AnyFailedCallLeavesNothingOpen) {
  struct Rig {
    sim::SimMachine machine{sim::WindowsVersion::NT4};
    install::MainDialogState state;
    app::InstallContext context;
    app::DetectionState detection;
    ScriptedUser user;
    Commands commands;
    install::Session session{machine.Platform(), state, context, detection, user, commands};
    explicit Rig(bool active) {
      machine.Files().AddDrive('D', true);
      state.sourceDir = "D:\\";
      std::string error;
      machine.Registry().Import(
          std::string("REGEDIT4\r\n[") + kDrivers32 + "]\r\n[" + kDescriptions + "]\r\n", error);
      for (const char* name : {"ov-pci.dll", "ovpci.sys", "OVUninst.exe"}) {
        machine.Files().WriteFileDirect(std::string("D:\\NT40\\drv\\") + name, "x");
      }
      if (active) {
        machine.Multimedia().AddMixer("Orvanta PCI Mixer");
      }
    }
  };
  for (bool active : {false, true}) {
    std::uint64_t calls = 0;
    {
      Rig rig(active);
      std::uint64_t before = rig.machine.InjectedFaults().TotalCalls();
      install::InstallNt4Driver(rig.session);
      calls = rig.machine.InjectedFaults().TotalCalls() - before;
    }
    ASSERT_GT(calls, 10u);
    for (std::uint64_t nth = 1; nth <= calls; ++nth) {
      Rig rig(active);
      rig.machine.InjectedFaults().FailNthCall(nth, win::ERROR_NOT_ENOUGH_MEMORY);
      install::InstallNt4Driver(rig.session);
      std::vector<std::string> faults = testsupport::JournalTexts(rig.machine, "fault");
      ASSERT_EQ(faults.size(), 1u) << "call " << nth;
      bool keyStays = faults[0].rfind("RegCloseKey", 0) == 0;
      bool driverStays = faults[0].rfind("CloseDriver", 0) == 0;
      EXPECT_EQ(rig.machine.Registry().OpenHandleCount(), keyStays ? 1u : 0u) << faults[0];
      EXPECT_EQ(rig.machine.Multimedia().OpenDriverCount(), driverStays ? 1u : 0u) << faults[0];
      EXPECT_EQ(rig.machine.Files().OpenSearchCount(), 0u) << faults[0];
    }
  }
}

}  // namespace
}  // namespace installtest
