// Version, process start parameters, last error, waits and the process's orderly exit.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct OsVersion {  // the fields of OSVERSIONINFOA that the launcher reads
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  std::string csdVersion;
};

class System {
 public:
  virtual ~System() = default;

  virtual bool GetVersion(OsVersion& result) = 0;  // GetVersionExA, structure size 148
  virtual std::uint32_t GetLastError() = 0;
  // The program path as the runtime split it from the command line (argv[0]).
  virtual std::string ProgramPath() = 0;
  // The text after the program name, as WinMain receives it; writable in place.
  virtual std::string& CommandArguments() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  virtual std::uint32_t SleepEx(std::uint32_t milliseconds, bool alertable) = 0;
  // Ends the process through the runtime's orderly exit (static objects are destroyed). Never
  // returns: the simulated machine unwinds to whoever started the simulated process.
  [[noreturn]] virtual void ExitProcess(int exitCode) = 0;
};

}  // namespace platform
