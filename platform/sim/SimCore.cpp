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
  journal.push_back(JournalEntry{nowMs, category, text});
}

bool SimCore::Injected(Call call) {
  std::optional<std::uint32_t> error = faults.Check(call);
  if (!error) {
    return false;
  }
  lastError = *error;
  Record("fault", std::string(CallName(call)) + " failed with error " + std::to_string(*error));
  return true;
}

}  // namespace sim
