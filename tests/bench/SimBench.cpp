// Figures of the simulated machine, each beside what it is measured against in the same run:
// - the VxD install of a large synthetic disc (500 files, 100 MB, 40 INF files) against copying
//   the same bytes with cp;
// - a full PCI bus scan of a populated eight-bus topology, in CPU time (its waits are virtual).
// Usage: sim_bench [WORK_FOLDER]   (the disc is generated there, by default in /tmp)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "detect/ChipScan.h"
#include "install/SetupCommands.h"
#include "install/VxdStaging.h"
#include "platform/sim/MachineFolder.h"
#include "tests/bench/NoQuestions.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double CpuSeconds(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// 500 files of the driver folder for Windows 98, 40 of them INF files, 100 MB in all.
void MakeDisc(const fs::path& disc) {
  fs::remove_all(disc);
  const fs::path drivers = disc / "W95-98" / "drv" / "98";
  fs::create_directories(drivers);
  std::string block(200 * 1024, 'x');
  for (int i = 0; i < 500; ++i) {
    const bool inf = i < 40;
    const fs::path file =
        drivers / ((inf ? "OV" : "OVFILE") + std::to_string(i) + (inf ? ".INF" : ".BIN"));
    std::ofstream out(file, std::ios::binary);
    if (inf) {
      out << "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[SourceDisksNames]\r\n"
             "1=\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000\r\n";
    }
    out << block;
  }
  for (const char* name : {"SETUP.EXE", "MESetup.dat", "W2KSetup.dat", "orvainfo.sys"}) {
    std::ofstream(disc / name, std::ios::binary) << "MZ";
  }
  std::ofstream(disc / "setup.ini", std::ios::binary) << "[InstallOption]\r\nWebSetup=0\r\n";
}

void BenchVxdInstall(const fs::path& work) {
  const fs::path disc = work / "orv-bench-disc";
  const fs::path copy = work / "orv-bench-copy";
  MakeDisc(disc);
  std::string error;
  std::unique_ptr<sim::SimMachine> machine =
      sim::LoadMachineFolder(fs::path(ORV_SOURCE_DIR) / "examples" / "machines" / "win98", error);
  if (!machine || !sim::MapHostFolder(*machine, 'D', disc, true, error)) {
    std::fprintf(stderr, "sim_bench: %s\n", error.c_str());
    std::exit(1);
  }
  install::MainDialogState state;
  state.isWin98 = 1;
  state.sourceDir = "D:\\";
  app::InstallContext context;
  app::DetectionState detection;
  detection.chipVendorId = 0x7C5A;
  detection.chipDeviceId = 0x0111;
  bench::NoQuestions user;
  install::SetupCommands commands;
  install::Session session{machine->Platform(), state, context, detection, user, commands};

  const auto simStart = Clock::now();
  install::StageVxdDriver(session);
  const double simulated = Seconds(simStart);  // the waits are virtual: they cost nothing here

  fs::remove_all(copy);
  const auto cpStart = Clock::now();
  const std::string command = "cp -r '" + disc.string() + "' '" + copy.string() + "'";
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "sim_bench: cp failed\n");
    std::exit(1);
  }
  const double copied = Seconds(cpStart);
  std::printf(
      "VxD install of 500 files, 100 MB, 40 INF files: %.3f s simulated (%.1f s of "
      "virtual waits not spent), cp of the same bytes: %.3f s, ratio %.2f\n",
      simulated, machine->Core().nowMs / 1000.0, copied, simulated / copied);
  fs::remove_all(copy);
  fs::remove_all(disc);
}

void BenchPciScan() {
  sim::SimMachine machine(sim::WindowsVersion::Win98SE);
  std::string error;
  // Every device of buses 0 to 7 present: Intel bridges with an AC'97 controller at function 5
  // whose codec is another vendor's, so that every controller is tested and the scan goes on.
  for (int bus = 0; bus < 8; ++bus) {
    for (int device = 0; device < 32; ++device) {
      char slot[16];
      std::snprintf(slot, sizeof slot, "%02X:%02X.", bus, device);
      machine.Hardware().AddDevice(
          *sim::ParsePciDevice(std::string(slot) + "0", "8086:2440", error));
      machine.Hardware().AddDevice(
          *sim::ParsePciDevice(std::string(slot) + "5", "8086:2445 codec=1111:2222", error));
    }
  }
  app::DetectionState detection;
  detection.udaMode = 1;
  const std::clock_t start = std::clock();
  detect::ChipScan(machine.Platform().hardware, machine.Platform().system, detection);
  const double cpu = CpuSeconds(start);
  std::printf(
      "PCI scan of 8 buses, 256 devices, 256 AC'97 controllers: %.3f ms of CPU time "
      "(%llu configuration reads, %llu port reads)\n",
      cpu * 1000, static_cast<unsigned long long>(machine.Hardware().ConfigReads()),
      static_cast<unsigned long long>(machine.Hardware().PortReads()));
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path work = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  BenchVxdInstall(work);
  BenchPciScan();
  return 0;
}
