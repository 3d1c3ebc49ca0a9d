// Generated profile files and wildcard searches, asked of the simulated machine and of the real
// Win32 calls in one process (under Wine here). Prints every difference and the figures; exits
// with 1 when an answer differs other than as Wine is known to differ from Windows.
//
//   differential_under_wine.exe [--seed N] [--profiles N] [--folders N] [--infs N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sim/SimMachine.h"
#include "platform/win32/Win32Platform.h"
#include "tests/differential/Comparison.h"

#include "platform/win32/WinApi.h"

namespace {

std::string MakeScratch() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  for (unsigned run = 1;; ++run) {
    std::string base = std::string(temp) + "Orvanta Differential " + std::to_string(run);
    if (::CreateDirectoryA(base.c_str(), nullptr)) {
      return base + "\\";
    }
  }
}

// The scratch folder and everything left in it.
void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data{};
  HANDLE find = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") {
        continue;
      }
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(folder + name + "\\");
      } else {
        ::DeleteFileA((folder + name).c_str());
      }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(folder.c_str());
}

void PrintFigures(const char* what, const char* question, const differential::Figures& figures) {
  std::printf(
      "%s: %zu cases, %zu %s; %zu answers differ: %zu as Wine is known to differ from "
      "Windows, %zu otherwise; %zu where Wine now answers as Windows\n",
      what, figures.cases, figures.questions, question, figures.differing, figures.knownToWine,
      figures.unexplained, figures.wineCaughtUp);
  for (const auto& [shape, count] : figures.byShape) {
    std::printf("  known Wine difference, %s: %zu\n", shape.c_str(), count);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t seed = 1;
  std::size_t profileCount = 400;
  std::size_t folderCount = 100;
  std::size_t infCount = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::uint64_t value = std::strtoull(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--seed") == 0) {
      seed = value;
    } else if (std::strcmp(argv[i], "--profiles") == 0) {
      profileCount = static_cast<std::size_t>(value);
    } else if (std::strcmp(argv[i], "--folders") == 0) {
      folderCount = static_cast<std::size_t>(value);
    } else if (std::strcmp(argv[i], "--infs") == 0) {
      infCount = static_cast<std::size_t>(value);
    } else {
      std::fprintf(stderr, "usage: %s [--seed N] [--profiles N] [--folders N] [--infs N]\n",
                   argv[0]);
      return 2;
    }
  }

  const std::string scratch = MakeScratch();
  // The same folder on the simulated machine, so that both are asked the same paths.
  sim::SimMachine machine(sim::WindowsVersion::WinXP);
  machine.Files().MakeFoldersDirect(scratch);
  win32::Win32Profiles realProfiles;
  win32::Win32Files realFiles;
  differential::Comparison comparison({machine.Platform().files, machine.Platform().profiles},
                                      {realFiles, realProfiles}, scratch, stdout);

  std::printf("seed %llu, backend %s\n", static_cast<unsigned long long>(seed),
              win32::RunningUnderWine() ? "Wine" : "Windows");
  differential::Random random(seed);
  for (std::size_t i = 0; i < profileCount; ++i) {
    comparison.CompareProfile(differential::GenerateProfile(random), i);
  }
  for (std::size_t i = 0; i < folderCount; ++i) {
    comparison.CompareFolder(differential::GenerateFolder(random), i);
  }
  for (std::size_t i = 0; i < infCount; ++i) {
    comparison.CompareInf(differential::GenerateInf(random), i);
  }
  RemoveTree(scratch);

  PrintFigures("profile and INF files", "queries", comparison.ProfileFigures());
  PrintFigures("wildcard searches", "searches", comparison.SearchFigures());
  const differential::Figures& searches = comparison.SearchFigures();
  std::printf("  names found: %zu\n", searches.namesFound);
  std::size_t failures = comparison.ProfileFigures().Failures() + searches.Failures();
  if (searches.questions > 0 && searches.namesFound == 0) {
    // Searches that find nothing anywhere compare nothing.
    std::printf("no search found any name\n");
    ++failures;
  }
  std::printf("%s\n", failures == 0 ? "no difference" : "DIFFERENCES FOUND");
  return failures == 0 ? 0 : 1;
}
