#include "cleanup/InfPurge.h"

#include <string>

#include "cleanup/StartupPrograms.h"
#include "platform/WinConstants.h"

namespace cleanup {

namespace {

constexpr std::uint32_t kValueBuffer = 64;

// The maker's earlier driver files, below the Windows folder, and the names they are renamed
// to at the next start when they cannot be deleted now.
constexpr struct {
  const char* live;
  const char* backup;
} kRetiredFiles[] = {
    {"\\SYSTEM\\SPHERIX.DLL", "\\SYSTEM\\SPHERIX.OLD"},
    {"\\SYSTEM32\\SPHERIX.DLL", "\\SYSTEM32\\SPHERIX.OLD"},
    {"\\SYSTEM\\ZPX.DLL", "\\SYSTEM\\ZPX.OLD"},
    {"\\SYSTEM\\Y3D.DLL", "\\SYSTEM\\Y3D.OLD"},
    {"\\SYSTEM\\OV6430.VXD", "\\SYSTEM\\6430VXD.OLD"},
    {"\\SYSTEM\\OVAUDIO.VXD", "\\SYSTEM\\OVAUDIO.OLD"},
    {"\\SYSTEM\\OV6430FM.DRV", "\\SYSTEM\\6430FDRV.OLD"},
    {"\\SYSTEM\\OVPCIFM.DRV", "\\SYSTEM\\OVPCIFM.OLD"},
    {"\\SYSTEM\\OVMPU.EXE", "\\SYSTEM\\OVMPU.OLD"},
    {"\\SYSTEM\\OVMPUPCI.DRV", "\\SYSTEM\\OVMPUPCI.OLD"},
    {"\\SYSTEM\\OVPCI95.DRV", "\\SYSTEM\\OVPCI95.OLD"},
    {"\\SYSTEM\\OVSMIDI.DRV", "\\SYSTEM\\OVSMIDI.OLD"},
    {"\\SYSTEM\\OVSWMPU.VXD", "\\SYSTEM\\OVSWMPU.OLD"},
    {"\\SYSTEM\\PATCHMAP.DAT", "\\SYSTEM\\PATCHMAP.OLD"},
    {"\\SYSTEM\\SMPBANK.DAT", "\\SYSTEM\\SMPBANK.OLD"},
    {"\\SYSTEM\\INITTONE.COM", "\\SYSTEM\\INITTONE.OLD"},
    {"\\SYSTEM\\WTBNK32P.DLL", "\\SYSTEM\\WTBNK32.OLD"},
    {"\\SYSTEM\\WTBNKPCI.DLL", "\\SYSTEM\\WTBNKPCI.OLD"},
    {"\\SYSTEM\\BANKLOAD.EXE", "\\SYSTEM\\BANKLOAD.OLD"},
    {"\\SYSTEM\\ASIO6490.DLL", "\\SYSTEM\\ASIO6490.OLD"},
    {"\\SYSTEM\\OVSYNTH.DRV", "\\SYSTEM\\OVSYNTH.OLD"},
    {"\\SYSTEM32\\DRIVERS\\OVPCI.SYS", "\\SYSTEM32\\DRIVERS\\OVPCI.OLD"},
    {"\\INF\\CATALOG\\OVPCI.CAT", "\\INF\\CATALOG\\OVPCI.OLD"},
    {"\\SYSTEM32\\DRIVERS\\OVAUDIO.SYS", "\\SYSTEM32\\DRIVERS\\OVAUDIO.OLD"},
    {"\\INF\\CATALOG\\ovaudio.CAT", "\\INF\\CATALOG\\ovaudioc.OLD"},
    {"\\SYSTEM32\\OVprop.DLL", "\\SYSTEM32\\OVprop.OLD"},
    {"\\SYSTEM32\\OVNprop.DLL", "\\SYSTEM32\\OVNprop.OLD"},
    {"\\SYSTEM\\HRTFMOD.DLL", "\\SYSTEM\\HRTFMOD.OLD"},
};

bool NamesTheMaker(const std::string& value) {
  const std::string first = value.substr(0, 7);
  return first == "ORV6430" || first == "ORV6490" || first == "OVAUDIO" || first == "Orvanta";
}

void DeleteWithoutAttributes(platform::Files& files, const std::string& path) {
  files.SetAttributes(path, win::FILE_ATTRIBUTE_NORMAL);
  files.DeleteFile(path);
}

// Every file a search finds, in the order found, as `folder` + its name; false when the search
// found nothing at all.
bool PurgeSearch(platform::Platform& platform, const std::string& pattern,
                 const std::string& folder) {
  if (pattern.size() >= win::MAX_PATH) {
    return false;
  }
  platform::Files& files = platform.files;
  platform::FindData found;
  platform::FindHandle search = files.FindFirst(pattern, found);
  if (search.IsNull()) {
    return false;
  }
  do {
    const std::string path = folder + found.fileName;
    if (path.size() < win::MAX_PATH && IsMakersInf(platform.profiles, path)) {
      // The precompiled companion (the same name ending in "PNF") goes first: the INF is what
      // marks it as the maker's, and a purge cut short after the INF went would leave it.
      DeleteWithoutAttributes(files, path.substr(0, path.size() - 3) + "PNF");
      DeleteWithoutAttributes(files, path);
    }
  } while (files.FindNext(search, found));
  files.FindClose(search);
  return true;
}

bool Exists(platform::Files& files, const std::string& path) {
  platform::FindData found;
  platform::FindHandle search = files.FindFirst(path, found);
  if (search.IsNull()) {
    return false;
  }
  files.FindClose(search);
  return true;
}

}  // namespace

bool IsMakersInf(platform::Profiles& profiles, const std::string& path) {
  for (const char* key : {"VSX-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname"}) {
    if (NamesTheMaker(profiles.GetString("Strings", key, "", kValueBuffer, path))) {
      return true;
    }
  }
  return false;
}

void PurgeInfFiles(platform::Platform& platform) {
  std::string windows;
  std::uint32_t length = platform.files.GetWindowsFolder(win::MAX_PATH, windows);
  if (length == 0 || length >= win::MAX_PATH) {
    return;
  }
  const std::string inf = windows + "\\INF\\";
  if (!PurgeSearch(platform, inf + "OTHER\\*.INF", inf + "OTHER\\")) {
    PurgeSearch(platform, inf + "OEM*.INF", inf);
  }
  PurgeSearch(platform, inf + "OV*.INF", inf);
  PurgeSearch(platform, inf + "oem*.INF", inf);

  for (const auto& file : kRetiredFiles) {
    const std::string live = windows + file.live;
    platform.files.DeleteFile(live);
    if (Exists(platform.files, live)) {
      platform.profiles.WriteString("rename", windows + file.backup, live, "WININIT.INI");
    }
  }
  RemoveMakersStartupPrograms(platform.profiles);
}

}  // namespace cleanup
