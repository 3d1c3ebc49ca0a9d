// The driver folders each flavour's staging chooses on each Windows version, and what their INF
// files must hold for the staging and the option patch.
#include <map>
#include <string>
#include <vector>

#include "platform/sim/Text.h"
#include "tools/setup-sim/InfCheck.h"
#include "tools/setup-sim/LintChecks.h"

namespace lab {

namespace {

// A driver folder and the routes that take their driver files from it.
struct DriverFolder {
  std::string path;  // "" for the disc's root
  std::vector<std::string> versions;
};

std::string Routes(const std::vector<std::string>& versions, const std::string& what) {
  std::string text;
  for (const std::string& version : versions) {
    text += (text.empty() ? "" : ", ") + version;
  }
  return "Windows " + text + ": " + what;
}

void AddVersion(std::vector<DriverFolder>& folders, const std::string& path,
                const std::string& version) {
  for (DriverFolder& folder : folders) {
    if (sim::EqualsNoCase(folder.path, path)) {
      folder.versions.push_back(version);
      return;
    }
  }
  folders.push_back(DriverFolder{path, {version}});
}

// The VxD staging's choice: W95-98\, else WIN_9x\ (drv\95\ on Windows 95, drv\98\ on the
// others, drv\ when that one is missing), else Driver\VxD\, else the disc's root.
std::string VxdFolder(const DiscView& disc, bool win95) {
  for (const char* top : {"W95-98", "WIN_9x"}) {
    if (disc.IsFolder(top)) {
      std::string specific = std::string(top) + (win95 ? "\\drv\\95" : "\\drv\\98");
      return disc.IsFolder(specific) ? specific : std::string(top) + "\\drv";
    }
  }
  return disc.IsFolder("Driver\\VxD") ? "Driver\\VxD" : "";
}

// The WDM staging's choice: the version's own folder alone when it is there (even without
// its drv folder), else the first generic one present, else the disc's root.
std::string WdmFolder(const DiscView& disc, const std::string& own) {
  if (disc.IsFolder(own)) {
    return own + "\\drv";
  }
  const std::pair<const char*, const char*> generic[] = {{"W2K-ME", "W2K-ME\\drv"},
                                                         {"WIN_ME", "WIN_ME\\drv"},
                                                         {"XP-2K-ME", "XP-2K-ME\\drv"},
                                                         {"WDM", "WDM"},
                                                         {"Driver\\WDM", "Driver\\WDM"}};
  for (const auto& [probe, folder] : generic) {
    if (disc.IsFolder(probe)) {
      return folder;
    }
  }
  return "";
}

// The files an INF names that its folder does not hold.
void CheckSourceFiles(const DiscView& disc, const DriverFolder& folder, const std::string& inf,
                      const std::string& text, const std::string& routes, Findings& findings) {
  for (const std::string& name : InfSourceFiles(text)) {
    std::string path = folder.path.empty() ? name : folder.path + "\\" + name;
    if (!disc.IsFile(path)) {
      findings.push_back(
          Finding{"inf-source-file",
                  disc.Spelt(inf),
                  "[SourceDisksFiles] names " + name + ", which " +
                      (folder.path.empty() ? "the disc's root" : disc.Spelt(folder.path) + "\\") +
                      " does not hold",
                  {routes + ": Windows asks for the missing file"}});
    }
  }
}

// What every driver folder needs: to exist, and to hold INF files the staging knows as such.
// Returns the INF files.
std::vector<std::string> CheckFolder(const DiscView& disc, const DriverFolder& folder,
                                     const std::string& flavour, const std::string& routes,
                                     Findings& findings) {
  if (folder.path.empty()) {
    findings.push_back(Finding{"driver-folder",
                               "",
                               "the disc has no " + flavour +
                                   " driver folder: the staging takes every file of the disc's "
                                   "root as a driver file",
                               {routes}});
  } else if (!disc.IsFolder(folder.path)) {
    findings.push_back(Finding{"driver-folder",
                               folder.path,
                               "the " + flavour + " driver folder " + folder.path +
                                   "\\ does not exist: no driver file is staged",
                               {routes}});
    return {};
  }
  std::vector<std::string> infs;
  for (const std::string& name : disc.FilesIn(folder.path)) {
    std::string path = folder.path.empty() ? name : folder.path + "\\" + name;
    if (StagedAsInf(name)) {
      infs.push_back(path);
    } else if (LooksLikeInf(name)) {
      findings.push_back(Finding{"inf-name",
                                 disc.Spelt(path),
                                 name + ": the staging knows INF files by \".inf\" or \".INF\" "
                                        "written in one case; this one is staged but not placed "
                                        "in the Windows INF folders",
                                 {routes}});
    }
  }
  if (infs.empty()) {
    findings.push_back(Finding{"inf-missing",
                               disc.Spelt(folder.path),
                               "the " + flavour + " driver folder holds no INF file",
                               {routes}});
  }
  return infs;
}

void CheckVxdInf(const DiscView& disc, const DriverFolder& folder, const std::string& inf,
                 const std::string& routes, Findings& findings) {
  std::string text = disc.Read(inf).value_or("");
  if (InfValue(text, "SourceDisksNames", "1").empty()) {
    findings.push_back(Finding{"source-disks-names",
                               disc.Spelt(inf),
                               "[SourceDisksNames] has no entry 1, which the VxD staging points "
                               "at the staging folder",
                               {routes + ": Windows asks for the disc at the next start"}});
  }
  if (!RecognisedAsMakers(text)) {
    findings.push_back(Finding{"inf-strings",
                               disc.Spelt(inf),
                               "[Strings] VSX-Legacy.DeviceDesc does not begin with ORV6490, "
                               "ORV6430, OVAUDIO or Orvanta: a later install's INF purge will "
                               "not remove this INF",
                               {routes}});
  }
  CheckSourceFiles(disc, folder, inf, text, routes, findings);
}

void CheckJackLines(const DiscView& disc, const std::string& inf, const std::string& text,
                    Findings& findings) {
  const std::string route = "every Windows version with WebSetup=1: the jack options";
  for (const char* key : {"EnableLegacy", "JackConfig"}) {
    JackLine line = FindJackLine(text, key);
    if (line.line && !line.writable) {
      findings.push_back(Finding{
          "jack-column",
          disc.Spelt(inf),
          "line " + std::to_string(*line.line) + ": the value digit of " + key + " is " +
              (line.digitColumn ? "at column " + std::to_string(*line.digitColumn)
                                : std::string("missing")) +
              ", not at the 49th column: the option patch writes the 49th character",
          {route + " are not written" +
           (line.digitColumn && *line.digitColumn > 49 ? ", and another character of the line is"
                                                       : "")}});
    } else if (!line.line && disc.options.WebSetup == 1) {
      findings.push_back(Finding{
          "jack-options",
          disc.Spelt(inf),
          std::string(line.sectionInOtherCase && !line.sectionFound
                          ? "the section header is not written [CONFIG1.AddReg] in that case"
                          : "no " + std::string(key) + " line in [CONFIG1.AddReg]"),
          {route + " are not written"}});
    }
  }
}

// The catalog the WDM staging copies from the driver folder.
std::string FolderCatalog(const DiscView& disc) {
  return disc.udaMode ? "ovuda.cat" : "ovaudio.cat";
}

void CheckWdmInf(const DiscView& disc, const DriverFolder& folder, const std::string& inf,
                 bool placedInInfFolders, const std::string& routes, Findings& findings) {
  std::string text = disc.Read(inf).value_or("");
  if (placedInInfFolders && InfValue(text, "SourceDisksNames", "200").empty() &&
      InfValue(text, "SourceDisksNames", "222").empty()) {
    findings.push_back(Finding{"source-disks-names",
                               disc.Spelt(inf),
                               "[SourceDisksNames] has neither entry 200 nor 222, which the WDM "
                               "staging points at the staging folder",
                               {routes + ": Windows asks for the disc at the next start"}});
  }
  // The folder's own catalog is checked with the folder; another one named here is checked here.
  std::string catalog = InfValue(text, "Version", "CatalogFile");
  if (!catalog.empty() && !sim::EqualsNoCase(catalog, FolderCatalog(disc)) &&
      !disc.IsFile(folder.path.empty() ? catalog : folder.path + "\\" + catalog)) {
    findings.push_back(Finding{"catalog",
                               disc.Spelt(inf),
                               "[Version] CatalogFile=" + catalog + " is not in its folder",
                               {routes + ": the driver installs unsigned"}});
  }
  CheckSourceFiles(disc, folder, inf, text, routes, findings);
  CheckJackLines(disc, inf, text, findings);
}

}  // namespace

void CheckVxdDrivers(const DiscView& disc, Findings& findings) {
  const Reach reach = RoutesReached(disc);
  std::vector<DriverFolder> folders;
  AddVersion(folders, VxdFolder(disc, true), "95");
  if (reach.vxd98)
    AddVersion(folders, VxdFolder(disc, false), "98");
  if (reach.vxd98SE)
    AddVersion(folders, VxdFolder(disc, false), "98 SE");
  if (reach.vxdME)
    AddVersion(folders, VxdFolder(disc, false), "ME");
  for (const DriverFolder& folder : folders) {
    const std::string routes = Routes(folder.versions, "Install Device Driver (VxD)");
    for (const std::string& inf : CheckFolder(disc, folder, "VxD", routes, findings)) {
      CheckVxdInf(disc, folder, inf, routes, findings);
    }
  }
}

void CheckWdmDrivers(const DiscView& disc, Findings& findings) {
  const Reach reach = RoutesReached(disc);
  std::vector<DriverFolder> folders;
  // Windows 98 and 98 SE get INF copies in the Windows INF folders; the others do not.
  std::vector<std::string> placed;
  if (reach.wdm98) {
    AddVersion(folders, WdmFolder(disc, "Win_98"), "98");
    placed.push_back("98");
  }
  if (reach.wdm98SE) {
    AddVersion(folders, WdmFolder(disc, "Win_98SE"), "98 SE");
    placed.push_back("98 SE");
  }
  if (reach.wdmME)
    AddVersion(folders, WdmFolder(disc, "Win_ME"), "ME");
  AddVersion(folders, WdmFolder(disc, "Win_2K"), "2000");
  AddVersion(folders, WdmFolder(disc, "Win_XP"), "XP");
  const std::string catalog = FolderCatalog(disc);
  for (const DriverFolder& folder : folders) {
    const std::string routes = Routes(folder.versions, "WDM driver staging");
    bool placedHere = false;
    for (const std::string& version : folder.versions) {
      for (const std::string& each : placed) {
        placedHere = placedHere || each == version;
      }
    }
    std::vector<std::string> infs = CheckFolder(disc, folder, "WDM", routes, findings);
    if (disc.IsFolder(folder.path) &&
        !disc.IsFile(folder.path.empty() ? catalog : folder.path + "\\" + catalog)) {
      findings.push_back(Finding{"catalog",
                                 disc.Spelt(folder.path),
                                 "no " + catalog +
                                     " in the WDM driver folder: the staging copies "
                                     "the catalog from there",
                                 {routes + ": the driver installs unsigned"}});
    }
    for (const std::string& inf : infs) {
      CheckWdmInf(disc, folder, inf, placedHere, routes, findings);
    }
  }
}

void CheckNt4Drivers(const DiscView& disc, Findings& findings) {
  const bool codec = disc.udaMode != 0;
  const std::string folder = codec ? (disc.IsFolder("Win_NT40") ? "Win_NT40\\drv" : "Driver\\NT40")
                                   : (disc.IsFolder("NT40") ? "NT40\\drv" : "Win_NT40\\drv");
  const std::vector<std::string> names =
      codec ? std::vector<std::string>{"QAC97U4.dll", "QAC97K4.sys"}
            : std::vector<std::string>{"ov-pci.dll", "ovpci.sys", "OVUninst.exe"};
  for (const std::string& name : names) {
    if (!disc.IsFile(folder + "\\" + name)) {
      findings.push_back(Finding{"nt4-driver",
                                 disc.Spelt(folder) + "\\" + name,
                                 name + " is missing from " + disc.Spelt(folder) + "\\",
                                 {"Windows NT 4.0: Install Device Driver leaves it out"}});
    }
  }
}

}  // namespace lab
