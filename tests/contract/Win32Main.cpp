// The platform contract on the real Win32 backend (under Wine here).
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/win32/Win32Platform.h"
#include "tests/contract/ContractEnv.h"

#include "platform/win32/WinApi.h"

namespace check {
bool RootKeysMatch();
}

namespace {

// The planted test program: exits with 100 + the length of its own file name.
int RunAsPlantedProgram() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* slash = std::strrchr(path, '\\');
  return 100 + static_cast<int>(std::strlen(slash != nullptr ? slash + 1 : path));
}

std::string MakeScratch() {
  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  // A folder no earlier run used (process ids repeat under Wine).
  for (unsigned run = 1;; ++run) {
    std::string base = std::string(temp) + "Orvanta Contract " + std::to_string(run);
    if (::CreateDirectoryA(base.c_str(), nullptr)) {
      return base + "\\";
    }
  }
}

std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('\\') + 1);
}

}  // namespace

int main(int argc, char** argv) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (std::getenv("ORV_CONTRACT_SUITE") == nullptr) {
    return RunAsPlantedProgram();
  }
  // The programs the suite starts are copies of this one: they must not run the suite again.
  ::SetEnvironmentVariableA("ORV_CONTRACT_SUITE", nullptr);
  ::testing::InitGoogleTest(&argc, argv);
  if (!check::RootKeysMatch()) {
    std::fprintf(stderr, "the platform's predefined registry keys differ from the SDK's\n");
    return 1;
  }
  static win32::Win32Platform machine(argv[0], "");
  contract::Environment& env = contract::Env();
  env.platform = &machine.Platform();
  env.wine = win32::RunningUnderWine();
  env.scratch = MakeScratch();
  std::string selfPath = self;
  env.plantProgram = [selfPath](const std::string& path) {
    ::CopyFileA(selfPath.c_str(), path.c_str(), FALSE);
  };
  // The test driver library is built beside this program.
  std::string library = selfPath.substr(0, selfPath.rfind('\\') + 1) + "orvdrv.dll";
  env.plantDriverLibrary = [library](const std::string& path, bool refuses) {
    ::CopyFileA(library.c_str(), path.c_str(), FALSE);
    if (refuses) {
      std::string marker = FolderOf(path) + "refuse-load.txt";
      ::CloseHandle(::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    }
  };
  env.driverMessages = [](const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream log(FolderOf(path) + "driver-messages.txt", std::ios::binary);
    for (std::string line; std::getline(log, line);) {
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      lines.push_back(line);
    }
    return lines;
  };
  return RUN_ALL_TESTS();
}
