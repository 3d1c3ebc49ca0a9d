// What every service of the simulated machine shares: the journal of side effects, the virtual
// clock, the last error, the Windows version and the faults to inject.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/System.h"
#include "platform/journal/JournalWords.h"
#include "platform/sim/PowerLoss.h"
#include "platform/sim/SimCalls.h"

namespace sim {

// Thrown by System::ExitProcess on the simulated machine, and where the simulated process is
// ended from outside (the user ends a program that waits forever): the simulated process ends
// and control returns to whoever started it.
struct ProcessExit {
  int exitCode = 0;
};

// A line of the journal, in the words the journaling layer over the real machine uses too. The
// machine's own remarks on what Windows does that a program cannot see (a loop that spins, a
// profile file read in part, a stream left in error) are of the category "note", which no
// layer over the real machine writes.
using JournalEntry = journal::Line;

// Faults to inject into the platform calls: every call of a kind, the Nth call of a kind, or
// the Nth platform call of any kind, each counted from when the fault was added. The error a
// fault gives is the call's last error, and must not be 0.
class Faults {
 public:
  void FailEvery(Call call, std::uint32_t error);
  void FailNth(Call call, std::uint32_t nth, std::uint32_t error);
  // For a sweep over a whole run: count its calls once (TotalCalls before and after), then fail
  // call 1, 2, 3... of a fresh run in turn.
  void FailNthCall(std::uint64_t nth, std::uint32_t error);
  void Clear();  // the counts go on
  // Counts the call; the error to fail it with, if a fault applies.
  std::optional<std::uint32_t> Check(Call call);
  std::uint32_t CallCount(Call call) const { return calls_[Index(call)]; }
  // Platform calls of every kind made so far.
  std::uint64_t TotalCalls() const { return total_; }

 private:
  struct Rule {
    std::uint64_t nth = 0;  // 0: every call
    std::uint32_t error = 0;
    std::uint64_t callsAtStart = 0;
  };
  static std::size_t Index(Call call) { return static_cast<std::size_t>(call); }

  std::array<std::vector<Rule>, kCallCount> rules_;
  std::array<std::uint32_t, kCallCount> calls_{};
  std::vector<Rule> anyCall_;
  std::uint64_t total_ = 0;
};

class SimCore {
 public:
  std::vector<JournalEntry> journal;
  Faults faults;
  PowerSupply power;
  std::uint64_t nowMs = 0;
  std::uint32_t lastError = 0;
  platform::OsVersion version;
  // The NT family: the user belongs to the administrators. One who does not opens the service
  // manager and the keys of HKEY_LOCAL_MACHINE for reading only, as the Users group does.
  bool administrator = true;

  bool IsNt() const;
  void Record(const std::string& category, const std::string& text);
  void Advance(std::uint64_t milliseconds);
  // Called at the start of every simulated Win32 call: true when an injected fault fails it
  // (the error is then the last error and the fault is journalled), and for every call of a
  // machine without power. The call the power fails during ends the run here (PowerLoss),
  // unless it writes a file: that call goes on to where it writes.
  bool Injected(Call call);
  // In a call that writes a file: true when the power fails during this write, which the call
  // then cuts as the plan says (power.KeptBytes) before it calls PowerOff.
  bool Cutting() const { return power.Cutting(); }
  // The power fails: the machine is off, its registry as the plan says; `what` tells what the
  // call left behind, if anything. Throws PowerLoss.
  [[noreturn]] void PowerOff(const std::string& what);
  // The same, without ending the run: the call it falls on cannot (a close, or the end of the
  // process), and the run ends at its next call (PowerLost).
  void TurnOff(const std::string& what);
  // Ends the run of a machine whose power is off. Throws PowerLoss.
  [[noreturn]] void PowerLost();
  // For a call that writes a file, as it returns: the power fails now if it was to fail during
  // the call (which wrote nothing: it failed before it came to write).
  void PowerOffIfCut() {
    if (Cutting()) {
      PowerOff("");
    }
  }
  // Sets the last error and returns false, for the common failure path.
  bool Fail(std::uint32_t error) {
    lastError = error;
    return false;
  }
};

}  // namespace sim
