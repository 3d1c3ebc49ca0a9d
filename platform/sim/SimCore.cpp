#include "platform/sim/SimCore.h"

#include "platform/WinConstants.h"

namespace sim {

void Faults::FailEvery(const std::string& call, std::uint32_t error) {
  rules_[call].push_back(Rule{0, error, CallCount(call)});
}

void Faults::FailNth(const std::string& call, std::uint32_t nth, std::uint32_t error) {
  rules_[call].push_back(Rule{nth, error, CallCount(call)});
}

void Faults::Clear() {
  rules_.clear();
}

std::uint32_t Faults::CallCount(const std::string& call) const {
  auto it = calls_.find(call);
  return it == calls_.end() ? 0 : it->second;
}

std::optional<std::uint32_t> Faults::Check(const std::string& call) {
  std::uint32_t count = ++calls_[call];
  auto it = rules_.find(call);
  if (it == rules_.end()) {
    return std::nullopt;
  }
  for (const Rule& rule : it->second) {
    if (rule.nth == 0 || count - rule.callsAtStart == rule.nth) {
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

bool SimCore::Injected(const char* call) {
  std::optional<std::uint32_t> error = faults.Check(call);
  if (!error) {
    return false;
  }
  lastError = *error;
  Record("fault", std::string(call) + " failed with error " + std::to_string(*error));
  return true;
}

}  // namespace sim
