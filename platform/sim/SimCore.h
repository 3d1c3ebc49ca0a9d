// What every service of the simulated machine shares: the journal of side effects, the virtual
// clock, the last error, the Windows version and the faults to inject.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/System.h"

namespace sim {

struct JournalEntry {
  std::uint64_t timeMs = 0;
  std::string category;  // "registry", "file", "profile", "process", "window", "ui", "wait"...
  std::string text;
};

// Faults to inject, by Win32 call name ("CopyFileA", "RegSetValueExA"...): every call, or only
// the Nth call counted from when the fault was added.
class Faults {
 public:
  void FailEvery(const std::string& call, std::uint32_t error);
  void FailNth(const std::string& call, std::uint32_t nth, std::uint32_t error);
  void Clear();
  // Counts the call; the error to fail it with, if a fault applies.
  std::optional<std::uint32_t> Check(const std::string& call);
  std::uint32_t CallCount(const std::string& call) const;

 private:
  struct Rule {
    std::uint32_t nth = 0;  // 0: every call
    std::uint32_t error = 0;
    std::uint32_t callsAtStart = 0;
  };
  std::map<std::string, std::vector<Rule>> rules_;
  std::map<std::string, std::uint32_t> calls_;
};

class SimCore {
 public:
  std::vector<JournalEntry> journal;
  Faults faults;
  std::uint64_t nowMs = 0;
  std::uint32_t lastError = 0;
  platform::OsVersion version;

  bool IsNt() const;
  void Record(const std::string& category, const std::string& text);
  void Advance(std::uint64_t milliseconds) { nowMs += milliseconds; }
  // Called at the start of every simulated Win32 call: true when an injected fault fails it
  // (the error is then the last error and the fault is journalled).
  bool Injected(const char* call);
  // Sets the last error and returns false, for the common failure path.
  bool Fail(std::uint32_t error) {
    lastError = error;
    return false;
  }
};

}  // namespace sim
