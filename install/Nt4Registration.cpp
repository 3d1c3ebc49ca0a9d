#include "install/Nt4Registration.h"

#include <array>
#include <optional>
#include <vector>

#include "app/Paths.h"
#include "app/RegistryText.h"
#include "install/DelayedReplace.h"
#include "install/DriverLists.h"
#include "install/FileSteps.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

// The two drivers for NT 4.0: the maker's PCI chip (udaMode 0) and the ORV5970 AC'97 codec
// behind another maker's controller (udaMode 1).
struct Nt4Variant {
  const char* library;       // the user-mode driver library, in System32
  const char* kernelDriver;  // in System32\Drivers
  const char* uninstaller;   // in the Windows folder; none for the codec
  std::vector<std::string> kinds;
  const char* description;
  // Where the disc keeps the files: `discFolder` tells the disc's layout; when it exists the
  // files are in `sourceWhenThere`, otherwise in `sourceOtherwise`.
  const char* discFolder;
  const char* sourceWhenThere;
  const char* sourceOtherwise;
};

const Nt4Variant& VariantFor(int udaMode) {
  static const Nt4Variant pci{
      "ov-pci.dll",         "ovpci.sys", "OVUninst.exe", {"aux", "midi", "mixer", "wave"},
      "Orvanta PCI Device", "NT40\\",    "NT40\\drv\\",  "Win_NT40\\drv\\"};
  static const Nt4Variant codec{"QAC97U4.dll",
                                "QAC97K4.sys",
                                nullptr,
                                {"mixer", "wave"},
                                "Orvanta ORV5970 AC'97 Audio Ctrlr Driver",
                                "Win_NT40\\",
                                "Win_NT40\\drv\\",
                                "Driver\\NT40\\"};
  return udaMode ? codec : pci;
}

constexpr std::array<const char*, 4> kMakersMixerNames{"Orvanta Audio Mixer", "Orvanta 6490 Mixer",
                                                       "Orvanta PCI Mixer", "OV6430 PCI Mixer"};

constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sonavex Driver";
constexpr const char* kUninstallName = "Sonavex Driver";

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name's first characters, as many as `prefix` has, equal `prefix` ignoring case; a name
// shorter than the prefix never does.
bool BeginsIgnoringCase(const std::string& name, const std::string& prefix) {
  if (name.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(name[i]) != LowerAscii(prefix[i])) {
      return false;
    }
  }
  return true;
}

// Where a file comes from on the disc. The disc's layout is tested for every file on its own
// (the test makes the folder the current directory).
std::string DiscSource(platform::Files& files, const std::string& sourceDir,
                       const Nt4Variant& variant, const std::string& name) {
  bool there = FolderExists(files, sourceDir + variant.discFolder);
  return sourceDir + (there ? variant.sourceWhenThere : variant.sourceOtherwise) + name;
}

// The installed name with its extension replaced by ".new".
std::string TemporaryName(const std::string& installed) {
  return installed.substr(0, installed.rfind('.')) + ".new";
}

// One file of the driver: its name on the disc and where it is installed.
struct DriverFile {
  std::string name;
  std::string installed;
};

// The driver's files: the library and the kernel driver, which work only together, then the
// uninstaller, if the variant has one.
constexpr std::size_t kDriverPair = 2;
std::vector<DriverFile> FilesOf(const Nt4Variant& variant, const std::string& windows) {
  std::vector<DriverFile> files{
      {variant.library, windows + "System32\\" + variant.library},
      {variant.kernelDriver, windows + "System32\\Drivers\\" + variant.kernelDriver}};
  if (variant.uninstaller != nullptr) {
    files.push_back({variant.uninstaller, windows + variant.uninstaller});
  }
  return files;
}

// One of the maker's drivers is running: its files are in use and can only be replaced at the
// next start. The library and the kernel driver work only as a pair: both are replaced, or
// neither (a new copy that did arrive is taken away again). The uninstaller goes on its own.
// Nothing is registered on this path; the registration stands from the first install. Without
// the right to schedule moves nothing is copied: the installed driver stays as it is.
void ReplaceActiveDriver(Session& session, const Nt4Variant& variant, const std::string& windows) {
  if (!CanScheduleAtNextStart(session.platform.registry)) {
    return;
  }
  platform::Files& files = session.platform.files;
  session.platform.dialogs.SetWaitCursor(true);
  const std::vector<DriverFile> driverFiles = FilesOf(variant, windows);
  std::vector<Replacement> pair;
  bool arrived = true;
  for (std::size_t i = 0; i < kDriverPair; ++i) {
    const DriverFile& file = driverFiles[i];
    pair.push_back({TemporaryName(file.installed), file.installed});
    if (arrived) {
      arrived = ReplaceCopy(files, DiscSource(files, session.state.sourceDir, variant, file.name),
                            pair.back().temporary);
    }
  }
  if (arrived) {
    ScheduleReplacements(session.platform, pair);
  } else {
    for (const Replacement& replacement : pair) {
      files.SetAttributes(replacement.temporary, win::FILE_ATTRIBUTE_NORMAL);
      files.DeleteFile(replacement.temporary);
    }
  }
  if (driverFiles.size() > kDriverPair) {
    const DriverFile& uninstaller = driverFiles[kDriverPair];
    ReplaceAtNextStart(session.platform,
                       DiscSource(files, session.state.sourceDir, variant, uninstaller.name),
                       TemporaryName(uninstaller.installed), uninstaller.installed);
  }
  session.platform.dialogs.SetWaitCursor(false);
}

void WriteUninstallEntry(platform::Registry& registry, const std::string& uninstaller) {
  platform::RegKey key;
  if (registry.CreateKey(win::HKEY_LOCAL_MACHINE, kUninstallKey, win::KEY_ALL_ACCESS, key) != 0) {
    return;
  }
  app::WriteRegText(registry, key, "DisplayName", kUninstallName, win::REG_SZ);
  app::WriteRegText(registry, key, "UninstallString", uninstaller, win::REG_SZ);
  registry.CloseKey(key);
}

// No driver of the maker is active: the files go in place, the library is registered and
// installs itself.
void InstallInPlace(Session& session, const Nt4Variant& variant, const std::string& windows) {
  platform::Platform& platform = session.platform;
  for (const DriverFile& file : FilesOf(variant, windows)) {
    ReplaceCopy(platform.files,
                DiscSource(platform.files, session.state.sourceDir, variant, file.name),
                file.installed);
  }
  RegisterDriverLibrary(platform.registry, variant.library, variant.kinds, variant.description);
  int opened = SendDriverInstallMessages(platform, variant.library, session.user.MainWindow());
  // The uninstaller is offered only for a driver the multimedia system could open.
  if (variant.uninstaller != nullptr && opened >= 0) {
    // Quoted when the Windows folder holds a blank, as the launcher's own starts are.
    WriteUninstallEntry(platform.registry,
                        app::ProgramOnCommandLine(windows + variant.uninstaller));
  }
}

}  // namespace

bool IsMakersMixer(const std::string& productName) {
  if (productName.find("Orvanta") != std::string::npos) {
    return true;
  }
  for (const char* name : kMakersMixerNames) {
    if (BeginsIgnoringCase(productName, name)) {
      return true;
    }
  }
  return false;
}

bool MakersDriverIsActive(platform::Multimedia& multimedia) {
  std::uint32_t count = multimedia.MixerCount();
  for (std::uint32_t index = 0; index < count; ++index) {
    std::string productName;
    if (multimedia.MixerProductName(index, productName) && IsMakersMixer(productName)) {
      return true;
    }
  }
  return false;
}

int SendDriverInstallMessages(platform::Platform& platform, const std::string& library,
                              platform::WindowHandle parentWindow) {
  std::string windows;
  std::uint32_t length = platform.files.GetWindowsFolder(win::MAX_PATH, windows);
  if (length == 0 || length >= win::MAX_PATH) {
    return -1;
  }
  std::string path = windows + "\\system32\\" + library;
  // OpenDriver takes what follows a blank for the driver's arguments: a library in a Windows
  // folder with a blank in its name is named by its short form.
  if (path.find(' ') != std::string::npos) {
    path = app::ShortPathOf(platform.files, path);
  }
  if (!FitsPath(path)) {
    return -1;  // it would not convert whole, and a cut path names another file
  }
  platform::Multimedia& multimedia = platform.multimedia;
  platform::DriverHandle driver = multimedia.OpenDriver(path);
  if (driver.IsNull()) {
    return -1;
  }
  const auto owner = static_cast<std::intptr_t>(parentWindow.value);
  multimedia.SendDriverMessage(driver, win::DRV_INSTALL, owner, 0);
  if (multimedia.SendDriverMessage(driver, win::DRV_QUERYCONFIGURE, 0, 0) != 0) {
    multimedia.SendDriverMessage(driver, win::DRV_CONFIGURE, owner, 0);
  }
  multimedia.CloseDriver(driver);
  return 0;
}

void InstallNt4Driver(Session& session) {
  const Nt4Variant& variant = VariantFor(session.detection.udaMode);
  bool active = MakersDriverIsActive(session.platform.multimedia);
  // Every file goes below the Windows folder; without it there is nowhere to put them.
  std::optional<std::string> windows = app::WindowsFolderWithBackslash(session.platform.files);
  if (!windows) {
    return;
  }
  if (active) {
    ReplaceActiveDriver(session, variant, *windows);
  } else {
    InstallInPlace(session, variant, *windows);
  }
}

}  // namespace install
