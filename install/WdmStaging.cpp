#include "install/WdmStaging.h"

#include <optional>
#include <string>
#include <vector>

#include "app/Paths.h"
#include "app/RegistryText.h"
#include "install/DriverSetupPrograms.h"
#include "install/FileSteps.h"
#include "install/InfOptions.h"
#include "install/InstallLocations.h"
#include "install/StagingSteps.h"
#include "install/StateFile.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

constexpr std::uint32_t kProfileBuffer = 1024;
constexpr const char* kDiskNames = "SourceDisksNames";
constexpr const char* kDiskFiles = "SourceDisksFiles";

// One run of the staging, with what its steps share.
class WdmStaging {
 public:
  WdmStaging(Session& session, int patchInfOptions)
      : platform_(session.platform),
        files_(session.platform.files),
        profiles_(session.platform.profiles),
        state_(session.state),
        udaMode_(session.detection.udaMode),
        patch_(patchInfOptions != 0) {}

  void Run(int deferDriverSetup) {
    windows_ = app::WindowsFolderWithBackslash(files_);
    CreateInfFolders();
    FindSourcePath();
    CreateMakerFolders(files_);
    CopyDosDrivers(files_, state_.sourceDir);
    files_.CreateFolder(kWdmStagingFolder);
    const std::string driverFolder = ChooseDriverFolder();
    CopyDriverFiles(driverFolder);
    CopyCatalog(driverFolder);
    StageLauncher(platform_, state_.sourceDir, kWdmStagingFolder, 1);
    shortStaging_ = ShortStagingPath(files_, kWdmStagingFolder);
    PointInfCopiesAtStaging();
    if (state_.isWin98SE) {
      PrepareWindows98SE();
    }
    infCopies_.clear();
    std::string location = shortStaging_;
    app::AppendBackslash(location);
    RecordInstallLocation(platform_.registry, location);
    WriteStateFile(deferDriverSetup);
  }

 private:
  // W + "INF\", the folder every INF copy goes into, and "INF\OTHER\" beside it.
  std::string Inf() const { return *windows_ + "INF\\"; }
  std::string InfOther() const { return *windows_ + "INF\\OTHER\\"; }

  void CreateInfFolders() {
    if (windows_) {
      files_.CreateFolder(InfOther());
      files_.CreateFolder(Inf() + "CATALOG\\");
    }
  }

  // The Windows setup source folder: driver files are mirrored there while it takes them. On
  // Windows 98 SE the setup source becomes the Precopy folder that the staging fills.
  void FindSourcePath() {
    const bool toPrecopy = state_.isWin98SE && windows_.has_value();
    std::optional<std::string> found = FindSetupSource(platform_, [&](bool) {
      return toPrecopy ? std::optional<std::string>(*windows_ + "System\\Precopy") : std::nullopt;
    });
    mirror_ = found.has_value() && !toPrecopy;
    sourcePath_ = found.value_or("");
  }

  // The disc folder of the driver files: the first candidate whose folder exists, one for the
  // running version first, then the generic ones; the disc folder itself when there is none.
  std::string ChooseDriverFolder() {
    struct Candidate {
      const char* probed;
      const char* folder;
    };
    std::vector<Candidate> candidates;
    if (state_.isWin98SE) {
      candidates.push_back({"Win_98SE\\", "Win_98SE\\drv\\"});
    } else if (state_.isWin98) {
      candidates.push_back({"Win_98\\", "Win_98\\drv\\"});
    } else if (state_.isWinME) {
      candidates.push_back({"Win_ME\\", "Win_ME\\drv\\"});
    } else if (state_.isWinXP) {
      candidates.push_back({"Win_XP\\", "Win_XP\\drv\\"});
    } else if (state_.isNT5) {
      candidates.push_back({"Win_2K\\", "Win_2K\\drv\\"});
    }
    candidates.insert(candidates.end(), {{"W2K-ME\\", "W2K-ME\\drv\\"},
                                         {"WIN_ME\\", "WIN_ME\\drv\\"},
                                         {"XP-2K-ME\\", "XP-2K-ME\\drv\\"},
                                         {"WDM\\", "WDM\\"},
                                         {"Driver\\WDM\\", "Driver\\WDM\\"}});
    for (const Candidate& candidate : candidates) {
      // Only the parent is probed: a version folder without "drv\" stages nothing.
      if (FolderExists(files_, state_.sourceDir + candidate.probed)) {
        return state_.sourceDir + candidate.folder;
      }
    }
    return state_.sourceDir;
  }

  void CopyDriverFiles(const std::string& driverFolder) {
    ForEachFile(files_, driverFolder, [&](const std::string& name) {
      const std::string source = driverFolder + name;
      const std::string staged = std::string(kWdmStagingFolder) + name;
      ReplaceCopy(files_, source, staged);
      const bool inf = IsInfName(name);
      if (inf && patch_) {
        Patch(staged);
      }
      // A path too long to build is passed over; only a copy that fails ends the mirroring.
      if (mirror_ && !NamesSetup(name) && FitsPath(sourcePath_ + name) &&
          !ReplaceCopy(files_, source, sourcePath_ + name)) {
        // The setup source folder takes no more files: this one and the rest go without it.
        mirror_ = false;
        if (windows_) {
          ReplaceCopy(files_, source, InfOther() + name);
        }
      }
      if (inf && state_.isWin98 && windows_) {
        for (const std::string& folder : {Inf(), InfOther()}) {
          const std::string copy = folder + name;
          NormalisedReplaceCopy(files_, source, copy);
          infCopies_.push_back(copy);
          if (patch_) {
            Patch(copy);
          }
        }
      }
    });
  }

  void Patch(const std::string& inf) {
    files_.SetAttributes(inf, win::FILE_ATTRIBUTE_NORMAL);
    PatchInfOptions(platform_, inf, state_.jackOptions);
  }

  void CopyCatalog(const std::string& driverFolder) {
    if (windows_) {
      const char* catalog = udaMode_ ? "ovuda.cat" : "ovaudio.cat";
      ReplaceCopy(files_, driverFolder + catalog, Inf() + "CATALOG\\" + catalog);
    }
  }

  std::string ReadDiskName(const std::string& inf, const char* disk) {
    if (!FitsPath(inf)) {
      return std::string();
    }
    return profiles_.GetString(kDiskNames, disk, "", kProfileBuffer, inf);
  }
  void Write(const std::string& inf, const char* section, const std::string& key,
             const std::string& value) {
    if (FitsPath(inf)) {
      profiles_.WriteString(section, key, value, inf);
    }
  }
  // The maker's own disk entry, pointed at the staging folder.
  void PointDisk200(const std::string& inf) {
    Write(inf, kDiskNames, "200", "\"Orvanta WDM Audio Driver Disk\",,," + shortStaging_);
    Write(inf, kDiskFiles, "ovaudio.cat", "200");
  }
  // The disk entry of the INF files that name their disk by a string.
  void PointDisk222(const std::string& inf, const char* catalog) {
    Write(inf, kDiskNames, "222", "%DiskDescription%,,," + shortStaging_);
    Write(inf, kDiskFiles, catalog, "222");
  }

  // Every INF copy takes its driver files from the staging folder: its disk "200", or else its
  // disk "222", when the INF has one; nothing else of the INF is touched.
  void PointInfCopiesAtStaging() {
    for (const std::string& inf : infCopies_) {
      if (!ReadDiskName(inf, "200").empty()) {
        PointDisk200(inf);
      } else if (!ReadDiskName(inf, "222").empty()) {
        PointDisk222(inf, udaMode_ ? "ovuda.cat" : "ovaudio.cat");
      }
    }
  }

  // Windows 98 SE: the INF files an earlier installation left in the INF folders point at the
  // staging folder too, and Windows' own files the driver setup needs are saved.
  void PrepareWindows98SE() {
    if (!windows_) {
      return;
    }
    if (udaMode_) {
      PointDisk222(Inf() + "OVUDA.INF", "ovuda.cat");
      PointDisk222(InfOther() + "OVUDA.INF", "ovuda.cat");
    } else {
      for (const char* name : {"OVAUDIO.INF", "OVAUDIO1.INF"}) {
        const std::string inInf = Inf() + name;
        const std::string inOther = InfOther() + name;
        bool pointed200 = !ReadDiskName(inInf, "200").empty();
        if (pointed200) {
          PointDisk200(inInf);
          PointDisk200(inOther);
        }
        if (!ReadDiskName(pointed200 ? inOther : inInf, "222").empty()) {
          PointDisk222(inInf, "ovaudio.cat");
          PointDisk222(inOther, "ovaudio.cat");
        }
      }
    }
    const std::string system = *windows_ + "System\\";
    const std::string precopy = system + "Precopy\\";
    files_.CreateFolder(precopy);
    for (const char* name : kPrecopySystemFiles) {
      ReplaceCopy(files_, system + name, precopy + name);
    }
    for (const char* name : kStagedSystemFiles) {
      ReplaceCopy(files_, system + name, std::string(kWdmStagingFolder) + name);
    }
  }

  void WriteStateFile(int deferDriverSetup) {
    if (!deferDriverSetup) {
      NoteWdmStaged(platform_);
      return;
    }
    std::string staging = shortStaging_;
    app::AppendBackslash(staging);
    files_.SetCurrentFolder(staging);
    NoteWdmSetupDeferred(platform_, state_, staging + DriverSetupProgram(state_.isNT5));
  }

  platform::Platform& platform_;
  platform::Files& files_;
  platform::Profiles& profiles_;
  const MainDialogState& state_;
  const int udaMode_;
  const bool patch_;
  std::optional<std::string> windows_;  // W, with its backslash; nothing when it cannot be had
  bool mirror_ = false;
  std::string sourcePath_;
  std::vector<std::string> infCopies_;
  std::string shortStaging_;
};

}  // namespace

void StageWdmDriver(Session& session, int deferDriverSetup, int patchInfOptions) {
  WdmStaging(session, patchInfOptions).Run(deferDriverSetup);
}

}  // namespace install
