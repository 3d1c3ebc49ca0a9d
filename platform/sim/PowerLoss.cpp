#include "platform/sim/PowerLoss.h"

#include "platform/sim/SimRegistry.h"

namespace sim {

namespace {

struct Named {
  const char* name;
  int value;
};

constexpr Named kCutWrites[] = {{"absent", static_cast<int>(CutWrite::Absent)},
                                {"prefix", static_cast<int>(CutWrite::Prefix)}};
constexpr Named kRegistryOutcomes[] = {
    {"kept", static_cast<int>(RegistryAfterLoss::Kept)},
    {"last-flush", static_cast<int>(RegistryAfterLoss::LastFlush)},
    {"last-start", static_cast<int>(RegistryAfterLoss::LastStart)}};

template <std::size_t N>
const char* NameOf(const Named (&names)[N], int value) {
  for (const Named& named : names) {
    if (named.value == value) {
      return named.name;
    }
  }
  return "?";
}

template <std::size_t N>
std::optional<int> ValueOf(const Named (&names)[N], const std::string& text) {
  for (const Named& named : names) {
    if (text == named.name) {
      return named.value;
    }
  }
  return std::nullopt;
}

}  // namespace

const char* CutWriteName(CutWrite cut) {
  return NameOf(kCutWrites, static_cast<int>(cut));
}

const char* RegistryAfterLossName(RegistryAfterLoss registry) {
  return NameOf(kRegistryOutcomes, static_cast<int>(registry));
}

std::optional<CutWrite> ParseCutWrite(const std::string& text) {
  std::optional<int> value = ValueOf(kCutWrites, text);
  return value ? std::optional<CutWrite>(static_cast<CutWrite>(*value)) : std::nullopt;
}

std::optional<RegistryAfterLoss> ParseRegistryAfterLoss(const std::string& text) {
  std::optional<int> value = ValueOf(kRegistryOutcomes, text);
  return value ? std::optional<RegistryAfterLoss>(static_cast<RegistryAfterLoss>(*value))
               : std::nullopt;
}

RegistryImage PowerSupply::Image() const {
  return registry_->Copy();
}

void PowerSupply::Plan(const PowerLossPlan& plan, std::uint64_t callsSoFar) {
  plan_ = plan;
  failsAt_ = plan.atCall == 0 ? 0 : callsSoFar + plan.atCall;
  cutting_.reset();
  off_ = false;
  atStart_ = Image();
  flushed_ = atStart_;
  flushedText_ = registry_->Export();
  dirtySinceMs_.reset();
  flushedAtMs_ = 0;
}

bool PowerSupply::FailsAt(std::uint64_t total, Call call) {
  if (failsAt_ == 0 || total != failsAt_ || off_) {
    return false;
  }
  cutting_ = call;
  return true;
}

std::optional<std::size_t> PowerSupply::KeptBytes(std::size_t size, bool existed) const {
  if (plan_.cutWrite == CutWrite::Prefix) {
    return size / 2;
  }
  return existed ? std::optional<std::size_t>(0) : std::nullopt;
}

void PowerSupply::ClockMoves(std::uint64_t fromMs, std::uint64_t toMs) {
  if (!Planned() || toMs == fromMs) {
    return;
  }
  // Nothing changes while the clock moves: the registry as it stands was made at `fromMs` at
  // the latest, and a flush during the wait writes it as it stands.
  if (!dirtySinceMs_) {
    std::string text = registry_->Export();
    if (text == flushedText_) {
      return;
    }
    dirtySinceMs_ = fromMs;
  }
  if (toMs >= *dirtySinceMs_ + kLazyFlushMs) {
    flushed_ = Image();
    flushedText_ = registry_->Export();
    flushedAtMs_ = *dirtySinceMs_ + kLazyFlushMs;
    dirtySinceMs_.reset();
  }
}

std::string PowerSupply::Lose(bool nt, const std::string& cut) {
  off_ = true;
  const bool unwritten = registry_->Export() != flushedText_;
  lastLoss_ = LossFacts{!cut.empty(), unwritten, flushedAtMs_ != 0};
  std::string what = "power lost at call " + std::to_string(plan_.atCall) + ", " +
                     std::string(CallName(cutting_.value_or(Call::GetVersionExA))) +
                     (cut.empty() ? "" : ": " + cut);
  RegistryAfterLoss outcome = plan_.registry;
  if (outcome == RegistryAfterLoss::LastStart && nt) {
    outcome = RegistryAfterLoss::LastFlush;  // NT's log undoes a cut flush whole
  }
  switch (outcome) {
    case RegistryAfterLoss::Kept:
      what += "; the registry keeps every change";
      break;
    case RegistryAfterLoss::LastFlush:
      if (unwritten) {
        registry_->Restore(flushed_);
        what += flushedAtMs_ == 0 ? std::string("; the registry loses every change since the start")
                                  : "; the registry loses the changes since its lazy flush at " +
                                        std::to_string(flushedAtMs_) + " ms";
      } else {
        what += "; every registry change had been written";
      }
      break;
    case RegistryAfterLoss::LastStart:
      registry_->Restore(atStart_);
      what += "; the registry is restored from the copy of the last start";
      break;
  }
  cutting_.reset();
  lostText_ = what;
  if (onLoss_) {
    onLoss_();
  }
  return what;
}

void PowerSupply::PowerOn() {
  off_ = false;
  cutting_.reset();
  plan_ = PowerLossPlan{};
  failsAt_ = 0;
}

}  // namespace sim
