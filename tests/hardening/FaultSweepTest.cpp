// Every route on every Windows version, run again and again with one more of its platform calls
// failing each time: the run must end as the launcher's runs end, leave no handle open, and
// change nothing but what the same route changes when nothing fails and the places the
// launcher's operations name.
//
// ORV_SWEEP_STRIDE=N tries every Nth call (the default samples); ORV_SWEEP_ALL_ERRORS=1 tries
// each call with every kind of failure instead of one kind a call.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/WinConstants.h"
#include "tests/hardening/Scenario.h"

namespace {

// Access denied, not found, disk full, sharing violation, and an I/O error such as a short read.
constexpr std::uint32_t kErrors[] = {win::ERROR_ACCESS_DENIED, win::ERROR_FILE_NOT_FOUND, 112,
                                     win::ERROR_SHARING_VIOLATION, 1117};

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

bool IsClose(const std::string& fault) {
  return fault.find("Close") != std::string::npos;
}

TEST(FaultSweep, EveryRouteEndsCleanlyWhateverCallFails) {
  const std::uint64_t stride = EnvNumber("ORV_SWEEP_STRIDE", 13);
  const bool allErrors = EnvNumber("ORV_SWEEP_ALL_ERRORS", 0) != 0;
  std::uint64_t runs = 0;
  std::vector<std::string> findings;
  const std::vector<hardening::Scenario> scenarios = hardening::AllScenarios();
  for (std::size_t index = 0; index < scenarios.size(); ++index) {
    const hardening::Scenario& scenario = scenarios[index];
    hardening::RunResult clean = hardening::Run(scenario);
    ASSERT_TRUE(clean.wellEnded) << scenario.Name() << ": " << clean.end;
    ASSERT_TRUE(clean.leaks.empty()) << scenario.Name() << ": " << clean.leaks.front();
    std::vector<std::string> named = hardening::Changed(clean.before, clean.after);
    const std::set<std::string> allowed(named.begin(), named.end());
    for (std::uint64_t call = 1 + index % stride; call <= clean.calls; call += stride) {
      for (std::size_t e = 0; e < std::size(kErrors); ++e) {
        if (!allErrors && e != call % std::size(kErrors)) {
          continue;
        }
        hardening::RunResult run = hardening::Run(scenario, call, kErrors[e]);
        ++runs;
        const std::string where = scenario.Name() + ", " + run.fault + ": ";
        if (!run.wellEnded) {
          findings.push_back(where + run.end);
        }
        if (!run.leaks.empty() && !IsClose(run.fault)) {
          findings.push_back(where + run.leaks.front() + " left open");
        }
        for (const std::string& place : hardening::Changed(run.before, run.after)) {
          if (allowed.count(place) == 0 && !hardening::NamedByTheLauncher(place)) {
            findings.push_back(where + "changed " + place);
          }
        }
      }
    }
  }
  std::printf("fault sweep: %zu scenarios, %llu runs (every %llu%s call), %zu findings\n",
              scenarios.size(), static_cast<unsigned long long>(runs),
              static_cast<unsigned long long>(stride), allErrors ? ", every error" : "",
              findings.size());
  for (std::size_t i = 0; i < findings.size() && i < 40; ++i) {
    std::printf("  %s\n", findings[i].c_str());
  }
  EXPECT_TRUE(findings.empty());
}

}  // namespace
