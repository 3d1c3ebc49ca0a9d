// A stand-in for the disc's other programs in the scenarios under Wine (the driver setup
// programs "MESetup.dat" and "W2KSetup.dat", the application suite's "Setup.exe", an earlier
// suite's uninstaller): it records its command line, stays a moment as a real one would, and
// records its end, each as a line appended to the file ORV_STANDIN_LOG names:
//   start<TAB>COMMAND LINE
//   end<TAB>COMMAND LINE
// ORV_STANDIN_MS is how long it stays (default 500 ms). Without ORV_STANDIN_LOG it records
// nothing.
#include <cstdlib>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

void Record(const char* what) {
  char log[MAX_PATH] = {};
  DWORD length = ::GetEnvironmentVariableA("ORV_STANDIN_LOG", log, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  // Appended whole in one write, so that the lines of programs running side by side stay in
  // the order they happened.
  HANDLE file = ::CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  const std::string line = std::string(what) + "\t" + ::GetCommandLineA() + "\r\n";
  DWORD written = 0;
  ::WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  Record("start");
  char stay[16] = {};
  DWORD length = ::GetEnvironmentVariableA("ORV_STANDIN_MS", stay, sizeof stay);
  ::Sleep(length > 0 && length < sizeof stay ? std::strtoul(stay, nullptr, 10) : 500);
  Record("end");
  return 0;
}
