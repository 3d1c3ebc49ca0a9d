// The programs on the disc the launcher starts or loads: itself, the two driver setup programs,
// the detection driver, and the application suite's setup for each class of Windows.
#include <string>
#include <vector>

#include "tools/setup-sim/LintChecks.h"

namespace lab {

namespace {

std::string Versions(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    text += (text.empty() ? "" : ", ") + name;
  }
  return "Windows " + text;
}

// The first candidate below the disc's root that exists, or empty.
std::string FirstPresent(const DiscView& disc, const std::vector<std::string>& candidates) {
  for (const std::string& candidate : candidates) {
    if (disc.IsFile(candidate)) {
      return candidate;
    }
  }
  return {};
}

void CheckApplicationSetups(const DiscView& disc, const Reach& reach, Findings& findings) {
  struct Class {
    std::vector<std::string> versions;
    std::vector<std::string> candidates;
  };
  std::vector<std::string> vxd{"95"};
  std::vector<std::string> wdm;
  if (reach.vxd98)
    vxd.push_back("98");
  if (reach.wdm98)
    wdm.push_back("98");
  if (reach.vxd98SE)
    vxd.push_back("98 SE");
  if (reach.wdm98SE)
    wdm.push_back("98 SE");
  if (reach.vxdME)
    vxd.push_back("ME");
  if (reach.wdmME)
    wdm.push_back("ME");
  wdm.insert(wdm.end(), {"2000", "XP"});
  const Class classes[] = {
      {vxd,
       {"Win_9x\\app\\Setup.exe", "W95-98\\app\\Setup.exe", "XP-2K-ME\\app\\Setup.exe",
        "Win_ME\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe", "Applications\\Setup.exe"}},
      {wdm,
       {"Win_ME\\app\\Setup.exe", "XP-2K-ME\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe",
        "Applications\\Setup.exe"}},
      {{"NT 4.0"}, {"Win_NT40\\app\\Setup.exe", "NT40\\app\\Setup.exe", "Applications\\Setup.exe"}},
  };
  for (const Class& windows : classes) {
    if (!FirstPresent(disc, windows.candidates).empty()) {
      continue;
    }
    std::string tried;
    for (const std::string& candidate : windows.candidates) {
      tried += (tried.empty() ? "" : ", ") + candidate;
    }
    findings.push_back(
        Finding{"application-setup",
                windows.candidates.front(),
                "no application setup for " + Versions(windows.versions) + " (tried " + tried + ")",
                {Versions(windows.versions) +
                 ": Install Applications and the combined install show \"Can not find the Sonavex "
                 "Applications setup program.\""}});
  }
}

}  // namespace

void CheckPrograms(const DiscView& disc, Findings& findings) {
  const Reach reach = RoutesReached(disc);
  if (!disc.IsFile("SETUP.EXE")) {
    findings.push_back(Finding{"launcher",
                               "SETUP.EXE",
                               "the disc has no SETUP.EXE, the launcher that every staging "
                               "copies as Setup.exe",
                               {"every Windows version: nothing starts from the disc"}});
  }
  if (!disc.IsFile("MESetup.dat")) {
    std::vector<std::string> routes{
        "Windows 95, 98, 98 SE, ME, NT 4.0: /SPEAKER shows \"Can not find the setup program for "
        "Windows 98 SE and ME.\""};
    std::vector<std::string> wdm;
    if (reach.wdm98)
      wdm.push_back("98");
    if (reach.wdm98SE)
      wdm.push_back("98 SE");
    if (reach.wdmME)
      wdm.push_back("ME");
    if (!wdm.empty()) {
      routes.push_back(Versions(wdm) +
                       ": Install Device Driver (WDM) shows \"Can not find the setup program for "
                       "Windows 98 SE and ME.\"");
    }
    findings.push_back(Finding{"driver-setup-program", "MESetup.dat",
                               "MESetup.dat, the WDM driver setup program, is missing", routes});
  }
  if (!disc.IsFile("W2KSetup.dat")) {
    findings.push_back(Finding{
        "driver-setup-program",
        "W2KSetup.dat",
        "W2KSetup.dat, the WDM driver setup program for Windows 2000 and XP, is missing",
        {"Windows 2000, XP: Install Device Driver and /SPEAKER show \"Can not find the setup "
         "program for Windows 2000 and XP.\"",
         "Windows 2000, XP: the combined install records a driver setup program that is not "
         "there"}});
  }
  if (!disc.IsFile("orvainfo.sys")) {
    findings.push_back(Finding{
        "detection-driver",
        "orvainfo.sys",
        "orvainfo.sys, the detection driver, is missing: the NT family finds no chip without it",
        {"Windows NT 4.0, 2000, XP: start-up shows \"Can not find audio chip\" and ends"}});
  }
  CheckApplicationSetups(disc, reach, findings);
}

}  // namespace lab
