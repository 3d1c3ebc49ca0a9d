// A fresh machine (--windows) carries what every installed Windows of its version has and the
// launcher's routes meet: the tray program, WIN.INI and SYSTEM.INI, "C:\Program Files", the
// start-up sound, the setup source folder with its cabinet files on the 9x family, the
// kernel-streaming and joystick files that Windows 98 and later keep in "System", and the
// registry keys of the system audio settings; and the ORV6490 on the PCI bus.
#include <string>

#include "platform/sim/MachineFolder.h"
#include "tools/setup-sim/MachineSetup.h"

namespace lab {

namespace {

// <W> stands for the Windows folder.
const char kWindows9xRegistry[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files"
"CommonFilesDir"="C:\\Program Files\\Common Files"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Setup]
"SourcePath"="<W>\\OPTIONS\\CABS"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run]
"SystemTray"="SysTray.Exe"

[HKEY_USERS\.DEFAULT\AppEvents\Schemes\Apps\.Default\SystemStart\.Default]
@="<W>\\MEDIA\\The Microsoft Sound.wav"

[HKEY_USERS\.DEFAULT\AppEvents\Schemes\Apps\.Default\SystemStart\.Current]
@="<W>\\MEDIA\\The Microsoft Sound.wav"

[HKEY_USERS\.DEFAULT\Software\Microsoft\Multimedia\Audio]
"SystemFormats"="Radio Quality,CD Quality,Telephone Quality"
"DefaultFormat"="Radio Quality"

[HKEY_USERS\.DEFAULT\Software\Microsoft\Windows\CurrentVersion\Applets\Systray]
"Services"=hex:03,00,00,00

[HKEY_USERS\.DEFAULT\InstallLocationsMRU]
"a"="<W>\\OPTIONS\\CABS\\"
"MRUList"="a"
)";

const char kWindowsNtRegistry[] = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion]
"ProgramFilesDir"="C:\\Program Files"
"CommonFilesDir"="C:\\Program Files\\Common Files"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Drivers32]
"midimapper"="midimap.dll"
"wavemapper"="msacm32.drv"

[HKEY_USERS\.DEFAULT\AppEvents\Schemes\Apps\.Default\SystemStart\.Default]
@="%SystemRoot%\\Media\\<SOUND>"

[HKEY_USERS\.DEFAULT\AppEvents\Schemes\Apps\.Default\SystemStart\.Current]
@="%SystemRoot%\\Media\\<SOUND>"

[HKEY_CURRENT_USER\AppEvents\Schemes\Apps\.Default\SystemStart\.Current]
@="%SystemRoot%\\Media\\<SOUND>"

[HKEY_CURRENT_USER\Software\Microsoft\Multimedia\Audio]
"SystemFormats"="Radio Quality,CD Quality,Telephone Quality"
"DefaultFormat"="Radio Quality"

[HKEY_USERS\.DEFAULT\Software\Microsoft\Multimedia\Audio]
"DefaultFormat"="Radio Quality"

[HKEY_USERS\.DEFAULT\InstallLocationsMRU]
)";

const char kWinIni[] =
    "[windows]\r\nload=\r\nrun=\r\nNullPort=None\r\n\r\n[Desktop]\r\nWallpaper=(None)\r\n";
const char kSystemIni[] = "[boot]\r\nshell=Explorer.exe\r\n\r\n[drivers]\r\n";

// The start-up sound of the NT family's versions.
const char* NtStartupSound(sim::WindowsVersion version) {
  switch (version) {
    case sim::WindowsVersion::NT4:
      return "start.wav";
    case sim::WindowsVersion::Win2000:
      return "Windows Logon Sound.wav";
    default:
      return "Windows XP Startup.wav";
  }
}

// The registry text with <W> and <SOUND> filled in, as REGEDIT4 writes a string (\\ for \).
std::string Filled(const std::string& text, const std::string& windows, const std::string& sound) {
  std::string escaped;
  for (char c : windows) {
    escaped += c == '\\' ? "\\\\" : std::string(1, c);
  }
  std::string filled;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 3, "<W>") == 0) {
      filled += escaped;
      i += 2;
    } else if (text.compare(i, 7, "<SOUND>") == 0) {
      filled += sound;
      i += 6;
    } else {
      filled += text[i];
    }
  }
  return filled;
}

void AddFiles(sim::SimMachine& machine, sim::WindowsVersion version) {
  sim::SimFileSystem& files = machine.Files();
  const std::string windows = files.WindowsFolder();
  const bool nt = machine.Core().IsNt();
  const std::string system = windows + (nt ? "\\system32" : "\\SYSTEM");
  auto standIn = [&](const std::string& path) {
    files.WriteFileDirect(path, "a stand-in for " + path.substr(path.rfind('\\') + 1) + "\r\n");
  };
  files.MakeFoldersDirect("C:\\Program Files\\Common Files");
  files.WriteFileDirect(windows + "\\WIN.INI", kWinIni);
  files.WriteFileDirect(windows + "\\SYSTEM.INI", kSystemIni);
  // "MZ" begins every executable image: the tray program starts.
  files.WriteFileDirect(system + "\\SysTray.exe", "MZ a stand-in for SysTray.exe\r\n");
  if (nt) {
    standIn(windows + "\\Media\\" + NtStartupSound(version));
    return;
  }
  standIn(windows + "\\MEDIA\\The Microsoft Sound.wav");
  standIn(windows + "\\OPTIONS\\CABS\\PRECOPY1.CAB");
  if (version != sim::WindowsVersion::Win95) {
    for (const char* name : {"ksclockf.ax", "ksdata.ax", "ksinterf.ax", "ksproxy.ax", "ksvpintf.ax",
                             "ksuser.dll", "MSJSTICK.DRV", "msanalog.vxd", "vjoyd.vxd"}) {
      standIn(system + "\\" + name);
    }
  }
}

}  // namespace

std::unique_ptr<sim::SimMachine> FreshMachine(sim::WindowsVersion version) {
  auto machine = std::make_unique<sim::SimMachine>(version);
  AddFiles(*machine, version);
  const bool nt = machine->Core().IsNt();
  std::string error;
  machine->Registry().Import(Filled(nt ? kWindowsNtRegistry : kWindows9xRegistry,
                                    machine->Files().WindowsFolder(), NtStartupSound(version)),
                             error);
  if (std::optional<sim::PciDeviceSetup> chip =
          sim::ParsePciDevice("00:0B.0", "7C5A:0111", error)) {
    machine->Hardware().AddDevice(*chip);
  }
  machine->Core().journal.clear();
  return machine;
}

}  // namespace lab
