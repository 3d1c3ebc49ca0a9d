// Power lost at every platform call of every route on every sample machine: the machine starts
// again (its pending renames carried out) and the launcher runs again from the disc with the
// same answers. The end, after one more start, must be the end of one uninterrupted run and the
// same start, but for the allowed differences; a case that cannot get there is listed with its
// consequence (PowerLossCases). Nothing else may differ, no file the run installs may be missing
// or cut, and no file it removes of an earlier driver may be left.
//
// Each call is cut with a write cut to a prefix and the registry kept whole; again, where that
// can differ, with the write leaving its file absent and the registry as its lazy flush left it;
// on Windows 9x again with the registry of the last start, where a flush had happened. A sample
// goes two deep: the power lost again during the start, or during the run after it.
//
// ORV_POWER_STRIDE=N tries every Nth call (the default samples), ORV_POWER_DEEP_STRIDE=N every
// Nth call for the second losses.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "tests/hardening/PowerLossCases.h"
#include "tests/hardening/Scenario.h"

namespace {

using sim::CutWrite;
using sim::PowerLossPlan;
using sim::RegistryAfterLoss;

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

struct Counts {
  std::uint64_t runs = 0;
  std::uint64_t cases = 0;
  std::uint64_t same = 0;
  std::uint64_t allowed = 0;
  std::uint64_t listed = 0;
  std::map<std::string, std::uint64_t> byKind;
  std::map<std::string, std::uint64_t> byName;
  std::vector<std::string> findings;
};

std::vector<std::string> ProgramsSince(sim::SimMachine& machine, std::size_t first) {
  std::vector<std::string> programs;
  const std::vector<sim::SimProcess>& started = machine.Processes().Started();
  for (std::size_t i = first; i < started.size(); ++i) {
    programs.push_back(started[i].commandLine);
  }
  return programs;
}

// One run of the scenario on the machine as it is; the programs it started.
std::string RunOnce(sim::SimMachine& machine, bool& wellEnded, std::vector<std::string>& programs,
                    Counts& counts) {
  const std::size_t first = machine.Processes().Started().size();
  std::string end = hardening::Launch(machine, machine.Platform(), wellEnded);
  programs = ProgramsSince(machine, first);
  ++counts.runs;
  return end;
}

// The losses of one case: the run cut by `first`; with `startCutAfter`, the start after it cut
// after that many renames; with `second`, the run after the start cut too. Then the machine
// starts, the launcher runs once more and the machine starts again.
struct Losses {
  PowerLossPlan first;
  std::optional<std::size_t> startCutAfter;
  std::optional<PowerLossPlan> second;
};

std::string Describe(const Losses& losses) {
  auto plan = [](const PowerLossPlan& p) {
    return "call " + std::to_string(p.atCall) + " (" + sim::CutWriteName(p.cutWrite) + ", " +
           sim::RegistryAfterLossName(p.registry) + ")";
  };
  std::string text = "power lost at " + plan(losses.first);
  if (losses.startCutAfter) {
    text += ", again in the start after " + std::to_string(*losses.startCutAfter) + " renames";
  }
  if (losses.second) {
    text += ", again in the second run at " + plan(*losses.second);
  }
  return text;
}

// Runs a case; nothing when a loss did not happen where planned (the run is shorter).
std::optional<hardening::CaseEnd> RunCase(const hardening::Scenario& scenario, const Losses& losses,
                                          Counts& counts,
                                          sim::PowerSupply::LossFacts* facts = nullptr) {
  std::string error;
  std::unique_ptr<sim::SimMachine> machine = hardening::MakeMachine(scenario, error);
  if (!machine) {
    counts.findings.push_back(scenario.Name() + ": " + error);
    return std::nullopt;
  }
  hardening::CaseEnd got;
  bool well = false;
  machine->PlanPowerLoss(losses.first);
  RunOnce(*machine, well, got.programs, counts);
  if (!machine->Core().power.IsOff()) {
    return std::nullopt;
  }
  if (facts != nullptr) {
    *facts = machine->Core().power.LastLoss();
  }
  if (losses.startCutAfter) {
    machine->PowerOn(losses.startCutAfter);
  }
  machine->PowerOn();
  if (losses.second) {
    hardening::ReadyToRun(*machine, scenario);
    machine->PlanPowerLoss(*losses.second);
    RunOnce(*machine, well, got.programs, counts);
    if (!machine->Core().power.IsOff()) {
      return std::nullopt;
    }
    machine->PowerOn();
  }
  hardening::ReadyToRun(*machine, scenario);
  got.launcherEnd = RunOnce(*machine, well, got.programs, counts);
  machine->Restart();
  got.end = hardening::Dump(*machine);
  return got;
}

// The kind of a case, for the figures.
std::string KindOf(const Losses& losses) {
  if (losses.startCutAfter) {
    return "lost again in the start";
  }
  if (losses.second) {
    return "lost again in the second run";
  }
  return std::string("one loss, ") + sim::CutWriteName(losses.first.cutWrite) + ", registry " +
         sim::RegistryAfterLossName(losses.first.registry);
}

void Judge(const hardening::Scenario& scenario, const hardening::ReferenceEnd& reference,
           const Losses& losses, const hardening::CaseEnd& got, Counts& counts) {
  hardening::Verdict verdict = hardening::Judge(reference, got);
  ++counts.cases;
  ++counts.byKind[KindOf(losses)];
  for (const std::string& finding : verdict.findings) {
    counts.findings.push_back(scenario.Name() + ", " + Describe(losses) + ": " + finding);
  }
  if (!verdict.findings.empty()) {
    return;
  }
  for (const std::vector<std::string>* names : {&verdict.allowed, &verdict.listed}) {
    std::set<std::string> once(names->begin(), names->end());
    for (const std::string& name : once) {
      ++counts.byName[name];
    }
  }
  if (!verdict.listed.empty()) {
    ++counts.listed;
  } else if (!verdict.allowed.empty()) {
    ++counts.allowed;
  } else {
    ++counts.same;
  }
}

TEST(PowerLossSweep, EveryRouteFinishesWhenRunAgainAfterTheStart) {
  const std::uint64_t stride = EnvNumber("ORV_POWER_STRIDE", 8);
  const std::uint64_t deepStride = EnvNumber("ORV_POWER_DEEP_STRIDE", 97);
  Counts counts;
  const std::vector<hardening::Scenario> scenarios = hardening::AllScenarios();
  for (std::size_t index = 0; index < scenarios.size(); ++index) {
    const hardening::Scenario& scenario = scenarios[index];
    std::string error;
    std::unique_ptr<sim::SimMachine> machine = hardening::MakeMachine(scenario, error);
    ASSERT_TRUE(machine) << error;
    hardening::ReferenceEnd reference;
    reference.before = hardening::Dump(*machine);
    const std::uint64_t start = machine->InjectedFaults().TotalCalls();
    bool well = false;
    reference.launcherEnd = RunOnce(*machine, well, reference.programs, counts);
    ASSERT_TRUE(well) << scenario.Name() << ": " << reference.launcherEnd;
    const std::uint64_t calls = machine->InjectedFaults().TotalCalls() - start;
    const bool nineX = !machine->Core().IsNt();
    machine->Restart();
    reference.end = hardening::Dump(*machine);

    for (std::uint64_t call = 1 + index % stride; call <= calls; call += stride) {
      Losses losses{{call, CutWrite::Prefix, RegistryAfterLoss::Kept}, {}, {}};
      sim::PowerSupply::LossFacts facts;
      std::optional<hardening::CaseEnd> got = RunCase(scenario, losses, counts, &facts);
      if (!got) {
        counts.findings.push_back(scenario.Name() + ": the run did not reach call " +
                                  std::to_string(call));
        continue;
      }
      Judge(scenario, reference, losses, *got, counts);
      std::vector<PowerLossPlan> others;
      if (facts.writeCut || facts.registryUnwritten) {
        others.push_back({call, CutWrite::Absent, RegistryAfterLoss::LastFlush});
      }
      if (nineX && facts.flushedSinceStart) {
        others.push_back({call, CutWrite::Absent, RegistryAfterLoss::LastStart});
      }
      for (const PowerLossPlan& plan : others) {
        Losses other{plan, {}, {}};
        if ((got = RunCase(scenario, other, counts))) {
          Judge(scenario, reference, other, *got, counts);
        }
      }
      // Two deep, on a sample: the power lost again during the start (after none, one and
      // every rename of its list), or during the run after it.
      if (call % deepStride != index % deepStride) {
        continue;
      }
      for (std::size_t renames : {0, 1, 100}) {
        Losses again{losses.first, renames, {}};
        if ((got = RunCase(scenario, again, counts))) {
          Judge(scenario, reference, again, *got, counts);
        }
      }
      for (std::uint64_t second = 1 + call % deepStride; second <= calls; second += deepStride) {
        Losses again{losses.first,
                     {},
                     PowerLossPlan{second, CutWrite::Absent, RegistryAfterLoss::LastFlush}};
        if ((got = RunCase(scenario, again, counts))) {
          Judge(scenario, reference, again, *got, counts);
        }
      }
    }
  }
  std::printf(
      "power-loss sweep: %zu scenarios, %s, %llu launcher runs, %llu cases: %llu end the same, "
      "%llu with allowed differences, %llu listed, %zu findings\n",
      scenarios.size(),
      stride == 1 ? "every call" : ("every " + std::to_string(stride) + "th call").c_str(),
      static_cast<unsigned long long>(counts.runs), static_cast<unsigned long long>(counts.cases),
      static_cast<unsigned long long>(counts.same), static_cast<unsigned long long>(counts.allowed),
      static_cast<unsigned long long>(counts.listed), counts.findings.size());
  for (const auto* table : {&counts.byKind, &counts.byName}) {
    for (const auto& [name, count] : *table) {
      std::printf("  %6llu  %s\n", static_cast<unsigned long long>(count), name.c_str());
    }
  }
  for (std::size_t i = 0; i < counts.findings.size() && i < 40; ++i) {
    std::printf("  %s\n", counts.findings[i].c_str());
  }
  EXPECT_TRUE(counts.findings.empty());
}

}  // namespace
