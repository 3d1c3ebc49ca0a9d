// A test-only installable driver library for the multimedia contract under Wine. It answers the
// open and close messages with 1, has a configuration dialog (DRV_QUERYCONFIGURE answers 1),
// answers DRV_INSTALL with DRVCNF_RESTART and DRV_CONFIGURE with DRVCNF_OK without showing
// anything, and appends every message it receives, with its first parameter, to
// "driver-messages.txt" in its own folder. When "refuse-load.txt" is in that folder it refuses
// DRV_LOAD, as a library whose hardware is missing does.
#include <cstdio>
#include <cstring>

#include <windows.h>

#include <mmsystem.h>

namespace {

HINSTANCE self = nullptr;

// The folder of this library, with its backslash.
bool OwnFolder(char (&folder)[MAX_PATH]) {
  DWORD length = ::GetModuleFileNameA(self, folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return false;
  }
  char* slash = std::strrchr(folder, '\\');
  if (slash == nullptr) {
    return false;
  }
  slash[1] = '\0';
  return true;
}

bool FileBeside(const char* name, char (&path)[MAX_PATH]) {
  if (!OwnFolder(path) || std::strlen(path) + std::strlen(name) >= MAX_PATH) {
    return false;
  }
  std::strcat(path, name);
  return true;
}

void Note(UINT message, LPARAM param1) {
  char path[MAX_PATH];
  if (!FileBeside("driver-messages.txt", path)) {
    return;
  }
  HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  char line[64];
  int length =
      std::snprintf(line, sizeof line, "%u %lld\r\n", message, static_cast<long long>(param1));
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  ::CloseHandle(file);
}

bool RefusesToLoad() {
  char path[MAX_PATH];
  return FileBeside("refuse-load.txt", path) &&
         ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    self = instance;
  }
  return TRUE;
}

extern "C" __declspec(dllexport) LRESULT WINAPI
    DriverProc(DWORD_PTR, HDRVR, UINT message, LPARAM param1, LPARAM) {
  Note(message, param1);
  switch (message) {
    case DRV_LOAD:
      return RefusesToLoad() ? 0 : 1;
    case DRV_ENABLE:
    case DRV_OPEN:
    case DRV_CLOSE:
    case DRV_DISABLE:
    case DRV_FREE:
    case DRV_QUERYCONFIGURE:
      return 1;
    case DRV_INSTALL:
      return DRVCNF_RESTART;
    case DRV_CONFIGURE:
      return DRVCNF_OK;
    default:
      return 0;
  }
}
