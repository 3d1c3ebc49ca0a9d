// A stand-in for the disc's other programs in the scenarios under Wine (the driver setup
// programs "MESetup.dat" and "W2KSetup.dat", the application suite's "Setup.exe", an earlier
// suite's uninstaller, a running mixer or player): it records its command line, stays as a real
// one would, and records its end, each as a line appended to the file ORV_STANDIN_LOG names:
//   start<TAB>COMMAND LINE
//   holding<TAB>COMMAND LINE       it holds the file ORV_STANDIN_HOLD names
//   closed<TAB>COMMAND LINE        its window got WM_CLOSE
//   end-session<TAB>COMMAND LINE   Windows ended the session (WM_ENDSESSION)
//   end<TAB>COMMAND LINE
// ORV_STANDIN_MS is how long it stays (default 500 ms). ORV_STANDIN_WINDOW gives it a top-level
// window of that title instead, and it stays until the window is closed or the session ends.
// ORV_STANDIN_HOLD names a file it holds open, unshared, while it runs, as a loaded driver's file
// is held. Without ORV_STANDIN_LOG it records nothing.
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

std::string Setting(const char* name) {
  char value[MAX_PATH] = {};
  DWORD length = ::GetEnvironmentVariableA(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Record("closed");
      ::DestroyWindow(window);
      return 0;
    case WM_ENDSESSION:
      if (wParam) {
        Record("end-session");
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

// A window of that title, until it is closed.
void RunWindow(HINSTANCE instance, const std::string& title) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "OrvStandIn";
  ::RegisterClassA(&windowClass);
  HWND window = ::CreateWindowA("OrvStandIn", title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 200, 100, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return;
  }
  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  Record("start");
  HANDLE held = INVALID_HANDLE_VALUE;
  const std::string hold = Setting("ORV_STANDIN_HOLD");
  if (!hold.empty()) {
    held = ::CreateFileA(hold.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held != INVALID_HANDLE_VALUE) {
      Record("holding");
    }
  }
  const std::string title = Setting("ORV_STANDIN_WINDOW");
  if (!title.empty()) {
    RunWindow(instance, title);
  } else {
    const std::string stay = Setting("ORV_STANDIN_MS");
    ::Sleep(stay.empty() ? 500 : std::strtoul(stay.c_str(), nullptr, 10));
  }
  if (held != INVALID_HANDLE_VALUE) {
    ::CloseHandle(held);
  }
  Record("end");
  return 0;
}
