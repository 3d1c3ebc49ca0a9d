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
  // Programs and open files went with the power; the start gets as far as the renames.
  core_.Record("restart", "Windows starts");
  const std::vector<PendingRename> renames = PendingRenames();
  const std::size_t done = std::min(*lostAfterRenames, renames.size());
  for (std::size_t i = 0; i < done; ++i) {
    Apply(renames[i]);
  }
  core_.Record("power", "power lost during the start, after " + std::to_string(done) + " of " +
                            std::to_string(renames.size()) + " pending renames");
  core_.power.LoseDuringStart();
}

}  // namespace sim
