// Start-up and the main window's routing take any command line, program path and option file
// to one of the launcher's ends.
#include <cstdlib>

#include "app/SetupApp.h"
#include "install/SetupCommands.h"
#include "platform/sim/SimMachine.h"
#include "tests/LauncherResources.h"
#include "tests/fuzz/FuzzInput.h"
#include "ui/StartupDialogs.h"
#include "ui/resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  // version byte, then: program path \x00 command line \x00 setup.ini
  const auto& versions = sim::KnownWindowsVersions();
  sim::SimMachine machine(versions[data[0] % versions.size()].version);
  std::vector<std::string> parts = fuzz::Split(data + 1, size - 1, std::string_view("\0", 1), 3);
  machine.Dialogs().UseResources(testsupport::LauncherResources());
  machine.Files().AddDrive('D', true);
  machine.Files().WriteFileDirect("D:\\SETUP.EXE", "MZ");
  machine.Files().WriteFileDirect("D:\\MESetup.dat", "MZ");
  machine.Files().WriteFileDirect("D:\\W2KSetup.dat", "MZ");
  machine.Files().WriteFileDirect("D:\\orvainfo.sys", "driver");
  machine.Files().WriteFileDirect("D:\\setup.ini", parts[2], win::FILE_ATTRIBUTE_READONLY);
  std::string text;
  machine.Hardware().AddDevice(*sim::ParsePciDevice("00:0B.0", "7C5A:0111", text));
  machine.Files().SetCurrentFolderDirect("D:\\");
  machine.SetCommandLine(parts[0], parts[1]);
  for (int id :
       {IDD_SETUP_MAIN, IDD_DRIVER_ARCH, IDD_RESTART, IDD_JACK_OPTIONS, IDD_NO_CHIP, IDD_ABOUT}) {
    // The user closes every window, and answers "No" and OK to the restart offer.
    machine.Dialogs().Script(
        id, id == IDD_RESTART
                ? std::vector<sim::DialogAction>{sim::DialogAction::Click(IDC_RESTART_NO),
                                                 sim::DialogAction::Click(win::IDOK)}
                : std::vector<sim::DialogAction>{sim::DialogAction::Close()});
  }
  install::SetupCommands commands;
  ui::DialogStartupServices services(machine.Platform(), commands);
  app::SetupApp setup(machine.Platform(), services);
  try {
    setup.InitInstance();
  } catch (const sim::ProcessExit&) {
  } catch (const sim::UnscriptedDialog&) {
    std::abort();
  }
  if (machine.Registry().OpenHandleCount() != 0 || machine.Files().OpenSearchCount() != 0) {
    std::abort();
  }
  return 0;
}
