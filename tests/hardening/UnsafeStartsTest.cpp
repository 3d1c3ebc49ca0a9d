// A program planted where Windows would look first for an unquoted path with a blank
// ("C:\My.exe" for "C:\My Driver Disc\...", "C:\Program.exe" for "C:\Program Files\...") never
// runs, whatever route the launcher takes and whatever program it starts.
#include <gtest/gtest.h>

#include "platform/WinConstants.h"
#include "tests/hardening/Scenario.h"

namespace {

void PlantAndRegisterASuite(sim::SimMachine& machine) {
  sim::SimFileSystem& files = machine.Files();
  for (const char* planted : {"C:\\My.exe", "C:\\Program.exe"}) {
    files.WriteFileDirect(planted, "MZ planted");
  }
  files.WriteFileDirect("C:\\Program Files\\Orvanta\\Suite\\Uninst.exe", "MZ uninstaller");
  std::string error;
  ASSERT_TRUE(machine.Registry().Import(
      "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
      "Uninstall\\Sonavex Applications]\r\n\"UninstallString\"=\"C:\\\\Program Files\\\\Orvanta\\\\"
      "Suite\\\\Uninst.exe -f C:\\\\Program Files\\\\Orvanta\\\\Suite\\\\suite.log\"\r\n",
      error))
      << error;
}

TEST(UnsafeStarts, APlantedProgramNeverRuns) {
  int routesStarting = 0;
  for (hardening::Scenario scenario : hardening::AllScenarios()) {
    scenario.discFolder = "C:\\My Driver Disc\\";
    hardening::RunResult run = hardening::Run(scenario, 0, 0, PlantAndRegisterASuite);
    ASSERT_TRUE(run.wellEnded) << scenario.Name() << ": " << run.end;
    for (const std::string& program : run.started) {
      EXPECT_NE(program, "C:\\My.exe") << scenario.Name();
      EXPECT_NE(program, "C:\\Program.exe") << scenario.Name();
    }
    routesStarting += run.started.empty() ? 0 : 1;
  }
  // Most routes start the disc's programs; none of them went astray.
  EXPECT_GE(routesStarting, 40);
}

}  // namespace
