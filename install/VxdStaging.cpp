#include "install/VxdStaging.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/ChipIds.h"
#include "app/Paths.h"
#include "app/RegistryText.h"
#include "cleanup/InfPurge.h"
#include "cleanup/RegistryPurge.h"
#include "install/FileSteps.h"
#include "install/InstallLocations.h"
#include "install/StagingSteps.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

constexpr const char* kSystray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
constexpr const char* kDefaultSystray =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
constexpr std::uint32_t kVolumeService = 0x4;  // the tray's volume control
constexpr std::uint32_t kProfileBuffer = 1024;

// One run of the staging, with what its steps share.
class VxdStaging {
 public:
  explicit VxdStaging(Session& session)
      : platform_(session.platform),
        files_(session.platform.files),
        state_(session.state),
        detection_(session.detection) {}

  void Run() {
    windows_ = app::WindowsFolderWithBackslash(files_);
    CloseMixer();
    SetTrayVolumeControl();
    platform_.processes.WinExec("SysTray.exe", win::SW_SHOW);
    platform_.system.Sleep(500);
    ResetMixerDefaults();
    RemoveEarlierDrivers();
    if (windows_) {
      files_.CreateFolder(*windows_ + "INF\\OTHER\\");
      files_.CreateFolder(*windows_ + "INF\\CATALOG\\");
    }
    FindSourcePath();
    CreateMakerFolders(files_);
    CopyDosDrivers(files_, state_.sourceDir);
    const std::string driverFolder = ChooseDriverFolder();
    files_.CreateFolder(kVxdStagingFolder);
    if (state_.isWin98SE && windows_) {
      // Windows 98 SE's Precopy folder takes driver files from here on.
      files_.CreateFolder(*windows_ + "System\\Precopy\\");
    }
    CopyDriverFiles(driverFolder);
    shortStaging_ = ShortStagingPath(files_, kVxdStagingFolder);
    PointInfCopiesAtStaging();
    StageLauncher(platform_, state_.sourceDir, kVxdStagingFolder, 0);
    std::string location = shortStaging_;
    app::AppendBackslash(location);
    RecordInstallLocation(platform_.registry, location);
    if (state_.isWin98SE) {
      SaveSystemFiles();
    }
  }

 private:
  // The mixer holds the old driver open: it is closed and its program removed.
  void CloseMixer() {
    platform::WindowHandle mixer = platform_.processes.FindTopLevelWindow("Mixer");
    if (mixer.IsNull()) {
      return;
    }
    platform_.processes.SendWindowMessage(mixer, win::WM_CLOSE, 0, 0);
    platform_.system.SleepEx(1000, false);
    if (windows_) {
      files_.SetAttributes(*windows_ + "Mixer.exe", win::FILE_ATTRIBUTE_NORMAL);
      files_.DeleteFile(*windows_ + "Mixer.exe");
    }
  }

  // The tray shows the volume control for the codec's driver, not for the chip's.
  void SetTrayVolumeControl() {
    const std::pair<platform::RegKey, const char*> keys[] = {{win::HKEY_CURRENT_USER, kSystray},
                                                             {win::HKEY_USERS, kDefaultSystray}};
    for (const auto& [root, path] : keys) {
      app::ScopedKey key(platform_.registry, root, path, win::KEY_ALL_ACCESS);
      platform::RegData data;
      if (!key.IsOpen() || platform_.registry.QueryValue(key.Get(), "Services", 4, data) != 0) {
        continue;
      }
      std::uint8_t bytes[4] = {};
      std::copy_n(data.bytes.begin(), std::min<std::size_t>(data.bytes.size(), 4), bytes);
      bytes[0] = static_cast<std::uint8_t>(detection_.udaMode ? bytes[0] | kVolumeService
                                                              : bytes[0] & ~kVolumeService);
      platform_.registry.SetValue(key.Get(), "Services", data.type, bytes, 4);
    }
  }

  void ResetMixerDefaults() {
    if (windows_ && app::FileExists(files_, *windows_ + "mixerdef.ini")) {
      platform_.profiles.WriteString("RUNTIME", "Initialize", "0", *windows_ + "mixerdef.ini");
    }
  }

  void RemoveEarlierDrivers() {
    if (detection_.chipVendorId == app::kMakerVendorId) {
      cleanup::PurgeChipDriverRegistry(platform_.registry);
    } else {
      cleanup::PurgeCodecDriverRegistry(platform_.registry, detection_.chipVendorId,
                                        detection_.chipDeviceId);
    }
    cleanup::PurgeInfFiles(platform_);
  }

  // The Windows setup source folder takes the driver files too while it can; one that no
  // longer exists is forgotten.
  void FindSourcePath() {
    // A setup source folder that no longer exists is forgotten.
    std::optional<std::string> found = FindSetupSource(platform_, [](bool exists) {
      return exists ? std::nullopt : std::optional<std::string>("");
    });
    mirror_ = found.has_value();
    sourcePath_ = found.value_or("");
  }

  // The disc folder of the driver files for this version of Windows 9x.
  std::string ChooseDriverFolder() {
    const std::string& disc = state_.sourceDir;
    for (const char* family : {"W95-98\\", "WIN_9x\\"}) {
      if (!FolderExists(files_, disc + family)) {
        continue;
      }
      const std::string version = disc + family + (state_.isWin95 ? "drv\\95\\" : "drv\\98\\");
      return FolderExists(files_, version) ? version : disc + family + "drv\\";
    }
    if (FolderExists(files_, disc + "Driver\\VxD\\")) {
      return disc + "Driver\\VxD\\";
    }
    return disc;
  }

  void CopyDriverFiles(const std::string& driverFolder) {
    const std::string staging = kVxdStagingFolder;
    ForEachFile(files_, driverFolder, [&](const std::string& name) {
      const std::string source = driverFolder + name;
      ReplaceCopy(files_, source, staging + name);
      // A path too long to build is passed over; only a copy that fails ends the mirroring.
      if (mirror_ && !NamesSetup(name) && FitsPath(sourcePath_ + name) &&
          !ReplaceCopy(files_, source, sourcePath_ + name)) {
        // The setup source folder takes no more files: this one and the rest go without it.
        mirror_ = false;
        if (windows_) {
          ReplaceCopy(files_, source, *windows_ + "INF\\OTHER\\" + name);
        }
      }
      if (state_.isWin98SE && !NamesSetup(name) && windows_) {
        // Windows 98 SE installs from its Precopy folder; an earlier copy there is kept. The
        // file comes from the setup source folder, or from the disc when there is none.
        const std::string from = sourcePath_.empty() ? source : sourcePath_ + name;
        const std::string to = *windows_ + "System\\Precopy\\" + name;
        if (FitsPath(from) && FitsPath(to)) {
          files_.CopyFile(from, to, true);
        }
      }
      if (IsInfName(name) && windows_) {
        for (const std::string& folder : {*windows_ + "INF\\", *windows_ + "INF\\OTHER\\"}) {
          NormalisedReplaceCopy(files_, source, folder + name);
          infCopies_.push_back(folder + name);
        }
      }
    });
  }

  // Every INF copy with a source disk "1" takes its files from the staging folder, under the
  // label of the driver it names.
  void PointInfCopiesAtStaging() {
    for (const std::string& inf : infCopies_) {
      if (!FitsPath(inf)) {
        continue;
      }
      const std::string old =
          platform_.profiles.GetString("SourceDisksNames", "1", "", kProfileBuffer, inf);
      if (old.empty()) {
        continue;
      }
      const char* label =
          old.find("ORV6490/Y3DX") == std::string::npos && old.find("ORV5970") != std::string::npos
              ? "ORV5970 WIN95 Driver Disk"
              : "ORV6490/Y3DX Sonavex Driver Disk";
      platform_.profiles.WriteString("SourceDisksNames", "1",
                                     "\"" + std::string(label) + "\",,0000-0000, " + shortStaging_,
                                     inf);
    }
    infCopies_.clear();
  }

  // Windows' own files the driver needs, saved into the Precopy folder and beside the driver.
  void SaveSystemFiles() {
    if (!windows_) {
      return;
    }
    const std::string system = *windows_ + "System\\";
    for (const char* name : kStagedSystemFiles) {
      ReplaceCopy(files_, system + name, system + "Precopy\\" + name);
    }
    for (const char* name : kStagedSystemFiles) {
      ReplaceCopy(files_, system + name, std::string(kVxdStagingFolder) + name);
    }
  }

  platform::Platform& platform_;
  platform::Files& files_;
  const MainDialogState& state_;
  const app::DetectionState& detection_;
  std::optional<std::string> windows_;  // W, with its backslash; nothing when it cannot be had
  bool mirror_ = false;
  std::string sourcePath_;  // the setup source folder, when it existed
  std::vector<std::string> infCopies_;
  std::string shortStaging_;
};

}  // namespace

void StageVxdDriver(Session& session) {
  VxdStaging(session).Run();
}

}  // namespace install
