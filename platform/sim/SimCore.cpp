#include "platform/sim/SimCore.h"

#include "platform/WinConstants.h"

namespace sim {

void Faults::FailEvery(Call call, std::uint32_t error) {
  rules_[Index(call)].push_back(Rule{0, error, CallCount(call)});
}

void Faults::FailNth(Call call, std::uint32_t nth, std::uint32_t error) {
  rules_[Index(call)].push_back(Rule{nth, error, CallCount(call)});
}

void Faults::FailNthCall(std::uint64_t nth, std::uint32_t error) {
  anyCall_.push_back(Rule{nth, error, total_});
}

void Faults::Clear() {
  for (auto& rules : rules_) {
    rules.clear();
  }
  anyCall_.clear();
}

std::optional<std::uint32_t> Faults::Check(Call call) {
  std::uint64_t count = ++calls_[Index(call)];
  ++total_;
  for (const Rule& rule : rules_[Index(call)]) {
    if (rule.nth == 0 || count - rule.callsAtStart == rule.nth) {
      return rule.error;
    }
  }
  for (const Rule& rule : anyCall_) {
    if (total_ - rule.callsAtStart == rule.nth) {
      return rule.error;
    }
  }
  return std::nullopt;
}

bool SimCore::IsNt() const {
  return version.platformId == win::VER_PLATFORM_WIN32_NT;
}

void SimCore::Record(const std::string& category, const std::string& text) {
  if (!power.IsOff()) {
    journal.push_back(JournalEntry{nowMs, category, text});
  }
}

void SimCore::Advance(std::uint64_t milliseconds) {
  if (power.IsOff()) {
    return;
  }
  power.ClockMoves(nowMs, nowMs + milliseconds);
  nowMs += milliseconds;
}

namespace {

// The calls that write a file's bytes: a power loss during one of them cuts the write.
bool WritesFile(Call call) {
  return call == Call::CopyFileA || call == Call::WritePrivateProfileStringA ||
         call == Call::fwrite;
}

// The calls that close a handle: the launcher makes them in destructors too, where the run
// cannot end. Closing leaves nothing on the disk.
bool Closes(Call call) {
  return call == Call::RegCloseKey || call == Call::FindClose || call == Call::CloseHandle ||
         call == Call::CloseServiceHandle || call == Call::CloseDriver;
}

}  // namespace

bool SimCore::Injected(Call call) {
  if (power.IsOff()) {
    // Nothing runs on a machine without power, and nothing is recorded. A program that went on
    // after the loss (past a close) ends at its next call.
    if (!Closes(call)) {
      PowerLost();
    }
    return true;
  }
  std::optional<std::uint32_t> error = faults.Check(call);
  if (power.FailsAt(faults.TotalCalls(), call)) {
    if (Closes(call)) {
      TurnOff("");
      return true;
    }
    if (!WritesFile(call)) {
      PowerOff("");
    }
    return false;
  }
  if (!error) {
    return false;
  }
  lastError = *error;
  Record("fault", std::string(CallName(call)) + " failed with error " + std::to_string(*error));
  return true;
}

void SimCore::TurnOff(const std::string& what) {
  std::string text = power.Lose(IsNt(), what);
  journal.push_back(JournalEntry{nowMs, "power", text});
}

void SimCore::PowerOff(const std::string& what) {
  TurnOff(what);
  PowerLost();
}

void SimCore::PowerLost() {
  throw PowerLoss{power.PlannedCall(), power.LostText()};
}

}  // namespace sim
