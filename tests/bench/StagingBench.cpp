// The WDM staging of a large synthetic disc (500 files, 100 MB, 40 INF files) on the real Win32
// backend (run under Wine), beside copying the same files with CopyFileA in the same process.
// The staging's own waits (none on this route) would be reported apart.
// Usage: staging_bench.exe WORK_FOLDER   (the disc and the copies are made there)
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "install/SetupCommands.h"
#include "install/WdmStaging.h"
#include "platform/win32/Win32Platform.h"
#include "tests/bench/NoQuestions.h"

#include "platform/win32/WinApi.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool Write(const std::string& path, const std::string& content) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) {
    return false;
  }
  bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
  return std::fclose(out) == 0 && written;
}

// The disc: 500 files of the WDM driver folder, 40 of them INF files, 100 MB in all.
std::vector<std::string> MakeDisc(const std::string& disc) {
  ::CreateDirectoryA(disc.c_str(), nullptr);
  ::CreateDirectoryA((disc + "WDM").c_str(), nullptr);
  std::vector<std::string> names;
  const std::string block(200 * 1024, 'x');
  for (int i = 0; i < 500; ++i) {
    const bool inf = i < 40;
    const std::string name = (inf ? "OV" : "OVFILE") + std::to_string(i) + (inf ? ".INF" : ".BIN");
    std::string content = block;
    if (inf) {
      content =
          "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[SourceDisksNames]\r\n"
          "200=\"Orvanta WDM Audio Driver Disk\",,,\r\n" +
          content;
    }
    if (!Write(disc + "WDM\\" + name, content)) {
      return {};
    }
    names.push_back(name);
  }
  Write(disc + "setup.ini", "[InstallOption]\r\nWebSetup=0\r\n");
  return names;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: staging_bench.exe WORK_FOLDER\n");
    return 2;
  }
  std::string work = argv[1];
  if (work.back() != '\\') {
    work += '\\';
  }
  ::CreateDirectoryA(work.c_str(), nullptr);
  const std::string disc = work + "Disc\\";
  const std::vector<std::string> names = MakeDisc(disc);
  if (names.empty()) {
    std::fprintf(stderr, "staging_bench: cannot write the disc in %s\n", work.c_str());
    return 1;
  }

  win32::Win32Platform machine(argv[0], "");
  install::MainDialogState state;
  state.isNT5 = state.isWinXP = 1;
  state.sourceDir = disc;
  app::InstallContext context;
  app::DetectionState detection;
  bench::NoQuestions user;
  install::SetupCommands commands;
  install::Session session{machine.Platform(), state, context, detection, user, commands};
  const auto stageStart = Clock::now();
  install::StageWdmDriver(session, 0, 0);
  const double staged = Since(stageStart);

  const std::string copies = work + "Copies\\";
  ::CreateDirectoryA(copies.c_str(), nullptr);
  const auto copyStart = Clock::now();
  for (const std::string& name : names) {
    ::CopyFileA((disc + "WDM\\" + name).c_str(), (copies + name).c_str(), FALSE);
  }
  const double copied = Since(copyStart);
  std::printf(
      "WDM staging of 500 files, 100 MB, 40 INF files under Wine: %.3f s (no fixed "
      "waits on this route), CopyFileA of the same files: %.3f s, ratio %.2f\n",
      staged, copied, staged / copied);
  return 0;
}
