// The shipped i686 Setup.exe is linked against CRTDLL.DLL, the C runtime every Windows 95 and
// NT 4.0 has (the first Windows 95 has no MSVCRT.DLL). The C++ runtime linked into the program
// names three functions that CRTDLL.DLL does not export by those names: the POSIX names of the
// low-level file calls, which CRTDLL.DLL has with their underscore, and rand_s, which no runtime
// of those systems has. Only std::random_device calls the three, and the program makes none: it
// is there because the C++ runtime's string code refers to it. rand_s reports that it has no
// random numbers, so a random device would fail cleanly rather than name a missing function.
#include <cerrno>

extern "C" {

int __cdecl _read(int handle, void* buffer, unsigned int count);
int __cdecl _close(int handle);

int __cdecl read(int handle, void* buffer, unsigned int count) {
  return _read(handle, buffer, count);
}

int __cdecl close(int handle) {
  return _close(handle);
}

static int __cdecl NoRandomNumbers(unsigned int* value) {
  (void)value;
  return EINVAL;
}

// Called through the import table's pointer, as a function of a runtime DLL is.
int(__cdecl* _imp__rand_s)(unsigned int*) = NoRandomNumbers;
}
