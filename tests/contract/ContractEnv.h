// The environment the platform contract suite runs in: a backend, a scratch folder, and what
// differs between backends (the real one may run under Wine).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace contract {

struct Environment {
  platform::Platform* platform = nullptr;
  std::string scratch;  // an empty folder for the suite, with a trailing backslash
  bool wine = false;    // the Win32 backend running under Wine
  bool simulated = false;
  // Puts a program at `path` that, when started, exits with 100 + the length of its own file
  // name, so that a test can tell which program a command line started. Some names behave
  // otherwise (kPlanted... below).
  std::function<void(const std::string& path)> plantProgram;
  // Puts an installable driver library at `path`, one to a folder. It answers DRV_LOAD with 1
  // (0 when `refuses`), DRV_ENABLE, DRV_OPEN, DRV_CLOSE, DRV_DISABLE and DRV_FREE with 1,
  // DRV_QUERYCONFIGURE with 1 (it has a configuration dialog), DRV_INSTALL with DRVCNF_RESTART
  // and DRV_CONFIGURE with DRVCNF_OK.
  std::function<void(const std::string& path, bool refuses)> plantDriverLibrary;
  // The messages the library planted at `path` received, in order, each as "MESSAGE PARAM1"
  // in decimal.
  std::function<std::vector<std::string>(const std::string& path)> driverMessages;
};

Environment& Env();

// Planted programs that behave otherwise, by file name. Without a window: "sleeper.exe" runs
// 1.5 s before it ends. With a window titled kPlantedTitle + its file name: "exit259.exe" for
// 0.3 s, then exits with 259 (STILL_ACTIVE); "relayed.exe" for 1.5 s. "relay.exe" copies itself
// to "relayed.exe" beside it, starts the copy and exits at once with 0, as uninstallers do.
inline constexpr const char* kPlantedTitle = "Orvanta planted ";

// Base of every contract test: a fresh folder and a fresh registry key per test.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::Platform& p() { return *Env().platform; }
  // Windows NT, 2000 or XP, as GetVersionExA reports it; else the 9x family.
  bool NtFamily();
  // Writes or reads a file's bytes exactly (binary streams).
  void WriteRaw(const std::string& path, const std::string& content);
  std::string ReadRaw(const std::string& path);

  std::string dir;         // this test's folder, with a trailing backslash
  std::string keyPath;     // this test's key below HKEY_CURRENT_USER
  platform::RegKey key{};  // open with KEY_ALL_ACCESS
};

}  // namespace contract
