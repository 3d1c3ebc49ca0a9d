// A machine that lost its power: the plan for the run, and the start after it.
#include "platform/sim/SimMachine.h"

namespace sim {

void SimMachine::PlanPowerLoss(const PowerLossPlan& plan) {
  core_.power.Plan(plan, core_.faults.TotalCalls());
}

void SimMachine::PowerOn(std::optional<std::size_t> lostAfterRenames) {
  core_.power.PowerOn();
  dialogs_.ClearScripts();
  messageBoxAnswers_.clear();
  services_.StartAgain();
  if (!lostAfterRenames) {
    Restart();
    return;
  }
  // The start gets as far as the renames.
  BeginStart();
  const std::vector<BootRename> renames = ReadBootRenames().renames;
  const std::size_t done = std::min(*lostAfterRenames, renames.size());
  for (std::size_t i = 0; i < done; ++i) {
    Apply(renames[i]);
  }
  const std::string lost = "power lost during the start, after " + std::to_string(done) + " of " +
                           std::to_string(renames.size()) + " pending renames";
  core_.Record("power", lost);
  core_.power.LoseDuringStart(lost);
}

}  // namespace sim
