// The platform contract on the real Win32 backend (under Wine here).
#include <cctype>
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

// A top-level window of this title, up for the given time while its messages are handled.
void ShowWindowFor(const std::string& title, DWORD milliseconds) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcA;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "OrvantaPlanted";
  ::RegisterClassA(&windowClass);
  HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  0, 0, 100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < milliseconds) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::DispatchMessageA(&message);
    }
    ::Sleep(10);
  }
  ::DestroyWindow(window);
}

// The planted test program (contract::Environment::plantProgram): exits with 100 + the length of
// its own file name, unless its name asks for something else.
int RunAsPlantedProgram() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self = path;
  std::string folder = self.substr(0, self.rfind('\\') + 1);
  std::string name = self.substr(folder.size());
  std::string lower = name;
  for (char& c : lower) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (lower == "relay.exe") {
    std::string copy = folder + "relayed.exe";
    std::string commandLine = "\"" + copy + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (::CopyFileA(self.c_str(), copy.c_str(), FALSE) &&
        ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                         &startup, &started)) {
      ::CloseHandle(started.hThread);
      ::CloseHandle(started.hProcess);
    }
    return 0;
  }
  if (lower == "sleeper.exe") {
    ::Sleep(1500);
  } else if (lower == "relayed.exe" || lower == "exit259.exe") {
    ShowWindowFor(contract::kPlantedTitle + name, lower == "relayed.exe" ? 1500 : 300);
  }
  return lower == "exit259.exe" ? 259 : 100 + static_cast<int>(name.size());
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
