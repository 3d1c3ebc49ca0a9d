#include "tools/setup-sim/DiscSkeleton.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tools/setup-sim/Interruption.h"

namespace fs = std::filesystem;

namespace lab {

namespace {

const char kSetupIni[] =
    "; The launcher's options. Every key is read as a number; a key left out takes the value "
    "shown\r\n"
    "; here, its default. docs/disc-reference.md tells what each does on which Windows version.\r\n"
    "[InstallOption]\r\n"
    "; 1: the main window runs \"Install Device Driver\" as soon as it opens.\r\n"
    "DriverOnly=0\r\n"
    "; Windows ME: 1 asks the user for the driver (VxD or WDM); 0 takes WindowsMEDriver.\r\n"
    "WindowsMEDriverAskUser=0\r\n"
    "; Windows ME: 0 the VxD driver, 1 the WDM driver (started as MESetup.dat /DRIVER from the "
    "disc).\r\n"
    "WindowsMEDriver=1\r\n"
    "; Windows 98 SE: 1 asks the user for the driver; 0 takes Windows98SEDriver.\r\n"
    "Windows98SEDriverAskUser=0\r\n"
    "; Windows 98 SE: 0 the VxD driver, 1 the WDM driver (staged, then MESetup.dat /DRIVER).\r\n"
    "Windows98SEDriver=0\r\n"
    "; 0 the main window; 1 the web first stage (jack options, WDM staging); 2 is what staging\r\n"
    "; writes into its own copy: leave it 0 on a disc.\r\n"
    "WebSetup=0\r\n"
    "; The driver of the WebSetup stages: 0 VxD, 1 WDM.\r\n"
    "InstallWDMDriver=0\r\n"
    "; 1: the ORV5970 AC'97 codec on another maker's controller; forces the WDM driver on 98 SE "
    "and\r\n"
    "; ME and takes the codec's folders and files.\r\n"
    "InstallWDMUDACodecDriver=0\r\n"
    "; With InstallWDMUDACodecDriver=1, Windows 98: 1 installs the WDM driver there too.\r\n"
    "UDAWindows98Driver=0\r\n"
    "\r\n"
    "[Default]\r\n"
    "; 1: the maker's CD player plays CD audio digitally.\r\n"
    "UsingCDDA=0\r\n";

const char kReadme[] =
    "A driver disc made by setup-sim init. Every program and driver file here is a placeholder\r\n"
    "named as the launcher looks for it: replace each with the real one, keep the names, and "
    "check\r\n"
    "the disc with setup-sim lint. docs/disc-reference.md shows the layout and every setup.ini "
    "key.\r\n";

const char kVxdInf[] =
    "; ORV6490 PCI audio, VxD driver for Windows 95 and 98 (a placeholder: put the real INF "
    "here).\r\n"
    "; The staging points [SourceDisksNames] 1 at its staging folder; a later install knows the\r\n"
    "; INF as the maker's by [Strings] VSX-Legacy.DeviceDesc, which begins with \"ORV6490\".\r\n"
    "[Version]\r\n"
    "Signature=\"$CHICAGO$\"\r\n"
    "Class=MEDIA\r\n"
    "Provider=%OrvantaMfg%\r\n"
    "\r\n"
    "[SourceDisksNames]\r\n"
    "1=\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000\r\n"
    "\r\n"
    "[SourceDisksFiles]\r\n"
    "OVAUDIO.VXD=1\r\n"
    "OVSYNTH.DRV=1\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%OrvantaMfg%=Orvanta\r\n"
    "\r\n"
    "[Orvanta]\r\n"
    "%VSX-Legacy.DeviceDesc%=VSX_Legacy,PCI\\VEN_7C5A&DEV_0111\r\n"
    "\r\n"
    "[VSX_Legacy]\r\n"
    "CopyFiles=VSX.CopyList\r\n"
    "AddReg=VSX.AddReg\r\n"
    "\r\n"
    "[VSX.CopyList]\r\n"
    "OVAUDIO.VXD\r\n"
    "OVSYNTH.DRV\r\n"
    "\r\n"
    "[VSX.AddReg]\r\n"
    "HKR,,Driver,,OVAUDIO.VXD\r\n"
    "HKR,Drivers\\midi\\OVSYNTH.DRV,Description,,%VSX-Legacy.DeviceDesc%\r\n"
    "\r\n"
    "[DestinationDirs]\r\n"
    "VSX.CopyList=11\r\n"
    "\r\n"
    "[Strings]\r\n"
    "OrvantaMfg=\"Orvanta\"\r\n"
    "VSX-Legacy.DeviceDesc=\"ORV6490 Legacy Audio\"\r\n";

const char kWdmInf[] =
    "; ORV6490 PCI audio, WDM driver (a placeholder: put the real INF here). On Windows 98 and\r\n"
    "; 98 SE the staging points [SourceDisksNames] 200 (or 222) at its staging folder.\r\n"
    "[Version]\r\n"
    "Signature=\"$CHICAGO$\"\r\n"
    "Class=MEDIA\r\n"
    "Provider=%OrvantaMfg%\r\n"
    "CatalogFile=ovaudio.cat\r\n"
    "\r\n"
    "[SourceDisksNames]\r\n"
    "200=\"Orvanta WDM Audio Driver Disk\",,,\r\n"
    "\r\n"
    "[SourceDisksFiles]\r\n"
    "ovaudio.sys=200\r\n"
    "\r\n"
    "[Manufacturer]\r\n"
    "%OrvantaMfg%=Orvanta\r\n"
    "\r\n"
    "[Orvanta]\r\n"
    "%WDM_OVPCI.DeviceDesc%=WDM_OVPCI,PCI\\VEN_7C5A&DEV_0111\r\n"
    "\r\n"
    "[WDM_OVPCI]\r\n"
    "CopyFiles=WDM_OVPCI.CopyList\r\n"
    "AddReg=CONFIG1.AddReg\r\n"
    "\r\n"
    "[WDM_OVPCI.CopyList]\r\n"
    "ovaudio.sys\r\n"
    "\r\n"
    "[DestinationDirs]\r\n"
    "WDM_OVPCI.CopyList=10,system32\\drivers\r\n"
    "\r\n"
    "; The launcher writes the jack and port options into the last digit of these two values: "
    "it\r\n"
    "; must stand at the 49th column.\r\n"
    "[CONFIG1.AddReg]\r\n"
    "HKR,\"Settings\",\"EnableLegacy\",0x00010001,00000007\r\n"
    "HKR,\"Settings\",\"JackConfig\",0x00010001,0x00000001\r\n"
    "\r\n"
    "[Strings]\r\n"
    "OrvantaMfg=\"Orvanta\"\r\n"
    "WDM_OVPCI.DeviceDesc=\"Orvanta PCI Audio (WDM)\"\r\n"
    "WDM_OVPCI.Wave.szPname=\"Orvanta PCI Audio\"\r\n";

}  // namespace

// A program's placeholder begins with "MZ", as an executable image does, so that a simulated
// machine starts it where Windows would start the real one.
const std::vector<SkeletonFile>& DiscSkeleton() {
  static const std::vector<SkeletonFile> files{
      {"SETUP.EXE", "MZ placeholder: the setup launcher, Setup.exe of the build\r\n"},
      {"setup.ini", kSetupIni},
      {"MESetup.dat",
       "MZ placeholder: the WDM driver setup program for Windows 98, 98 SE and ME\r\n"},
      {"W2KSetup.dat", "MZ placeholder: the WDM driver setup program for Windows 2000 and XP\r\n"},
      {"orvainfo.sys", "placeholder: the detection driver of the NT family\r\n"},
      {"README.TXT", kReadme},
      {"Dosdrv/OVSBDOS.EXE",
       "MZ placeholder: a DOS driver, staged into C:\\Program Files\\Orvanta\\DOS\r\n"},
      {"Dosdrv/DOSAPP/OVMIXDOS.EXE",
       "MZ placeholder: a DOS application, staged into C:\\Program "
       "Files\\Orvanta\\DOS\\DOSAPP\r\n"},
      {"W95-98/drv/95/OV6490.INF", kVxdInf},
      {"W95-98/drv/95/OVAUDIO.VXD", "placeholder: the VxD driver for Windows 95\r\n"},
      {"W95-98/drv/95/OVSYNTH.DRV", "placeholder: the synthesizer driver for Windows 95\r\n"},
      {"W95-98/drv/98/OV6490.INF", kVxdInf},
      {"W95-98/drv/98/OVAUDIO.VXD", "placeholder: the VxD driver for Windows 98, 98 SE and ME\r\n"},
      {"W95-98/drv/98/OVSYNTH.DRV",
       "placeholder: the synthesizer driver for Windows 98, 98 SE and ME\r\n"},
      {"W95-98/app/Setup.exe",
       "MZ placeholder: the application suite's setup, with the VxD driver\r\n"},
      {"Win_98SE/drv/OVAUDIO.INF", kWdmInf},
      {"Win_98SE/drv/ovaudio.sys", "placeholder: the WDM driver for Windows 98 SE\r\n"},
      {"Win_98SE/drv/ovaudio.cat", "placeholder: the WDM driver's catalog for Windows 98 SE\r\n"},
      {"Win_ME/drv/OVAUDIO.INF", kWdmInf},
      {"Win_ME/drv/ovaudio.sys", "placeholder: the WDM driver for Windows ME, 2000 and XP\r\n"},
      {"Win_ME/drv/ovaudio.cat",
       "placeholder: the WDM driver's catalog for Windows ME, 2000 and XP\r\n"},
      {"Win_ME/app/Setup.exe",
       "MZ placeholder: the application suite's setup, with the WDM driver\r\n"},
      {"NT40/drv/ov-pci.dll", "placeholder: the NT 4.0 driver library\r\n"},
      {"NT40/drv/ovpci.sys", "placeholder: the NT 4.0 kernel driver\r\n"},
      {"NT40/drv/OVUninst.exe", "MZ placeholder: the NT 4.0 driver's uninstaller\r\n"},
      {"NT40/app/Setup.exe",
       "MZ placeholder: the application suite's setup for Windows NT 4.0\r\n"},
  };
  return files;
}

bool WriteDiscSkeleton(const std::string& folder, std::size_t& files, std::string& error) {
  const fs::path target = fs::absolute(folder).lexically_normal();
  const fs::path whole = target.filename().empty() ? target.parent_path() : target;
  std::error_code code;
  if (fs::exists(whole, code) &&
      (!fs::is_directory(whole, code) ||
       fs::directory_iterator(whole, code) != fs::directory_iterator())) {
    error = folder + (fs::is_directory(whole, code) ? " is not empty" : " is a file") +
            ": init writes a new disc only into a new or empty folder";
    return false;
  }
  if (!fs::is_directory(whole.parent_path(), code)) {
    error = "there is no folder " + whole.parent_path().string() + " to make " + folder + " in";
    return false;
  }
  // Ctrl-C waits for the next file, which then takes the temporary folder away.
  InterruptionHold hold;
  const fs::path temporary = whole.parent_path() / ("." + whole.filename().string() + ".init");
  fs::remove_all(temporary, code);
  files = 0;
  for (const SkeletonFile& file : DiscSkeleton()) {
    const fs::path path = temporary / file.path;
    fs::create_directories(path.parent_path(), code);
    std::ofstream out(path, std::ios::binary);
    out << file.content;
    out.close();
    if (!out || hold.Requested()) {
      fs::remove_all(temporary, code);
      error =
          hold.Requested() ? "interrupted: nothing was written" : "cannot write " + path.string();
      return false;
    }
    ++files;
  }
  fs::rename(temporary, whole, code);
  if (code) {
    fs::remove_all(temporary, code);
    error = "cannot make " + folder + ": " + code.message();
    return false;
  }
  return true;
}

}  // namespace lab
