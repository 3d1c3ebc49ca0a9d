// ui-driver (test-only): plays the user in front of another program's dialogs, for the scripts
// that run the real Setup.exe under Wine. Each command works on a top-level dialog found by its
// exact title; commands run in the order given, and the first that fails ends the run:
//   wait TITLE MS          waits until the dialog is shown and idle (1 when it never is)
//   either TITLE TITLE MS  waits for the first of two dialogs, and prints its title
//   list TITLE             one line per control: id, class, check state, enabled, rectangle,
//                          text, separated by tabs
//   click TITLE ID         clicks a control, as a user would; a control the user could not
//                          click (disabled, or in a disabled window) is refused with 2
//   close TITLE            closes the dialog (WM_CLOSE)
//   syscommand TITLE CMD   picks a command of the dialog's system menu (WM_SYSCOMMAND), as the
//                          user does with the mouse; CMD in decimal
//   gone TITLE MS          waits until no such dialog is left
//   wait-window TITLE MS   waits for a top-level window of that title, of any class (another
//                          program's main window)
//   rect TITLE             the dialog's rectangle on the screen: left, top, right, bottom
//   wait-exit IMAGE MS     waits until no process runs from a file of that name
//   short-name PATH        prints the 8.3 form of a path
// A dialog that is not there fails a command with 1; bad arguments give 3.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After <windows.h>, which it needs.
#include <tlhelp32.h>

namespace {

constexpr UINT kPollMs = 20;
constexpr UINT kReplyMs = 5000;  // a dialog that does not answer within this is hung

constexpr int kFailed = 1;
constexpr int kRefused = 2;
constexpr int kUsage = 3;

// The visible top-level dialog of that exact title, or null.
HWND FindDialog(const std::string& title) {
  HWND window = ::FindWindowA("#32770", title.c_str());
  return window != nullptr && ::IsWindowVisible(window) ? window : nullptr;
}

// True once the dialog's thread has answered a message: its initialisation is over and it is
// waiting for input.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kReplyMs, &result) != 0;
}

// The first of the titles whose dialog shows and is idle; empty when none does in time.
std::string WaitForDialog(const std::vector<std::string>& titles, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    for (const std::string& title : titles) {
      HWND window = FindDialog(title);
      if (window != nullptr && Answers(window)) {
        return title;
      }
    }
    if (::GetTickCount() - start >= timeoutMs) {
      return std::string();
    }
    ::Sleep(kPollMs);
  }
}

HWND Require(const std::string& title) {
  HWND window = FindDialog(title);
  if (window == nullptr) {
    std::fprintf(stderr, "ui-driver: no dialog \"%s\"\n", title.c_str());
  }
  return window;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  ::GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = {};
  ::GetWindowTextA(window, text, sizeof text);
  if (text[0] == '\xFF') {
    return "(resource)";  // a picture control names its image by number
  }
  std::string out = text;
  for (char& c : out) {
    if (c == '\t' || c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  return out;
}

// "-" for a control that is no button; 0, 1 or 2 (indeterminate) for a button.
std::string CheckStateOf(HWND control) {
  if (ClassOf(control) != "Button") {
    return "-";
  }
  DWORD_PTR state = 0;
  if (::SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kReplyMs, &state) == 0) {
    return "?";
  }
  return std::to_string(state);
}

BOOL CALLBACK ListControl(HWND control, LPARAM) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  std::printf("%d\t%s\t%s\t%d\t%ld,%ld,%ld,%ld\t%s\n", ::GetDlgCtrlID(control),
              ClassOf(control).c_str(), CheckStateOf(control).c_str(),
              ::IsWindowEnabled(control) ? 1 : 0, rect.left, rect.top, rect.right, rect.bottom,
              TextOf(control).c_str());
  return TRUE;
}

int List(const std::string& title) {
  HWND window = Require(title);
  if (window == nullptr) {
    return kFailed;
  }
  ::EnumChildWindows(window, ListControl, 0);
  std::fflush(stdout);
  return 0;
}

// Under Wine a click sent to a disabled button still fires (Windows ignores it), so the driver
// refuses what a user could not do. The click is posted: a click that opens a modal dialog
// does not return until that dialog ends, and the driver has to answer it meanwhile.
int Click(const std::string& title, int id) {
  HWND window = Require(title);
  if (window == nullptr) {
    return kFailed;
  }
  HWND control = ::GetDlgItem(window, id);
  if (control == nullptr) {
    std::fprintf(stderr, "ui-driver: \"%s\" has no control %d\n", title.c_str(), id);
    return kFailed;
  }
  if (!::IsWindowEnabled(window) || !::IsWindowEnabled(control) || !::IsWindowVisible(control)) {
    std::fprintf(stderr, "ui-driver: control %d of \"%s\" cannot be clicked (disabled)\n", id,
                 title.c_str());
    return kRefused;
  }
  return ::PostMessageA(control, BM_CLICK, 0, 0) ? 0 : kFailed;
}

int Close(const std::string& title) {
  HWND window = Require(title);
  if (window == nullptr) {
    return kFailed;
  }
  return ::PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : kFailed;
}

int SysCommand(const std::string& title, long command) {
  HWND window = Require(title);
  if (window == nullptr) {
    return kFailed;
  }
  if (!::IsWindowEnabled(window)) {
    std::fprintf(stderr, "ui-driver: \"%s\" is disabled\n", title.c_str());
    return kRefused;
  }
  return ::PostMessageA(window, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0) ? 0 : kFailed;
}

int Gone(const std::string& title, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (::FindWindowA("#32770", title.c_str()) != nullptr) {
    if (::GetTickCount() - start >= timeoutMs) {
      std::fprintf(stderr, "ui-driver: \"%s\" is still there\n", title.c_str());
      return kFailed;
    }
    ::Sleep(kPollMs);
  }
  return 0;
}

int WaitWindow(const std::string& title, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    HWND window = ::FindWindowA(nullptr, title.c_str());
    if (window != nullptr && Answers(window)) {
      return 0;
    }
    if (::GetTickCount() - start >= timeoutMs) {
      std::fprintf(stderr, "ui-driver: no window \"%s\" within %lu ms\n", title.c_str(),
                   static_cast<unsigned long>(timeoutMs));
      return kFailed;
    }
    ::Sleep(kPollMs);
  }
}

int Rect(const std::string& title) {
  HWND window = Require(title);
  if (window == nullptr) {
    return kFailed;
  }
  RECT rect{};
  ::GetWindowRect(window, &rect);
  std::printf("%ld\t%ld\t%ld\t%ld\n", rect.left, rect.top, rect.right, rect.bottom);
  std::fflush(stdout);
  return 0;
}

bool ProcessRuns(const std::string& image) {
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    return false;
  }
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = ::Process32First(snapshot, &entry); more && !found;
       more = ::Process32Next(snapshot, &entry)) {
    found = ::lstrcmpiA(entry.szExeFile, image.c_str()) == 0;
  }
  ::CloseHandle(snapshot);
  return found;
}

int WaitExit(const std::string& image, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (ProcessRuns(image)) {
    if (::GetTickCount() - start >= timeoutMs) {
      std::fprintf(stderr, "ui-driver: %s is still running\n", image.c_str());
      return kFailed;
    }
    ::Sleep(kPollMs);
  }
  return 0;
}

int ShortName(const std::string& path) {
  char buffer[MAX_PATH] = {};
  DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    std::fprintf(stderr, "ui-driver: no short name for %s\n", path.c_str());
    return kFailed;
  }
  std::printf("%s\n", buffer);
  std::fflush(stdout);
  return 0;
}

bool ToNumber(const std::string& text, long& value) {
  char* end = nullptr;
  value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && value >= 0;
}

// Runs the commands in order; the result of the first that fails, or 0.
int Run(const std::vector<std::string>& args) {
  std::size_t i = 0;
  auto take = [&](std::string& value) {
    if (i >= args.size()) {
      return false;
    }
    value = args[i++];
    return true;
  };
  while (i < args.size()) {
    const std::string command = args[i++];
    std::string first;
    std::string other;
    std::string second;
    long number = 0;
    const bool oneArg = take(first) && (command != "either" || take(other));
    const bool needsSecond = command == "wait" || command == "either" || command == "click" ||
                             command == "gone" || command == "wait-exit" ||
                             command == "wait-window" || command == "syscommand";
    if (!oneArg || (needsSecond && (!take(second) || !ToNumber(second, number)))) {
      std::fprintf(stderr, "ui-driver: %s: missing or bad arguments\n", command.c_str());
      return kUsage;
    }
    int result = kUsage;
    if (command == "wait" || command == "either") {
      std::vector<std::string> titles = {first};
      if (command == "either") {
        titles.push_back(other);
      }
      const std::string shown = WaitForDialog(titles, static_cast<DWORD>(number));
      result = shown.empty() ? kFailed : 0;
      if (shown.empty()) {
        std::fprintf(stderr, "ui-driver: \"%s\" did not show within %ld ms\n", first.c_str(),
                     number);
      } else if (command == "either") {
        std::printf("%s\n", shown.c_str());
        std::fflush(stdout);
      }
    } else if (command == "list") {
      result = List(first);
    } else if (command == "click") {
      result = Click(first, static_cast<int>(number));
    } else if (command == "close") {
      result = Close(first);
    } else if (command == "syscommand") {
      result = SysCommand(first, number);
    } else if (command == "gone") {
      result = Gone(first, static_cast<DWORD>(number));
    } else if (command == "wait-exit") {
      result = WaitExit(first, static_cast<DWORD>(number));
    } else if (command == "wait-window") {
      result = WaitWindow(first, static_cast<DWORD>(number));
    } else if (command == "rect") {
      result = Rect(first);
    } else if (command == "short-name") {
      result = ShortName(first);
    } else {
      std::fprintf(stderr, "ui-driver: unknown command %s\n", command.c_str());
    }
    if (result != 0) {
      return result;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs(
        "usage: ui-driver COMMAND ARGS... [COMMAND ARGS...]\n"
        "  wait TITLE MS | either TITLE TITLE MS | list TITLE | click TITLE ID | close TITLE | "
        "gone TITLE MS |\n"
        "  syscommand TITLE CMD |"
        " wait-window TITLE MS | rect TITLE | wait-exit IMAGE MS | short-name PATH\n",
        stderr);
    return kUsage;
  }
  return Run(std::vector<std::string>(argv + 1, argv + argc));
}
