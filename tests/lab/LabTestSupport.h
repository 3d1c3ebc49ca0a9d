// What the lab tool's tests share: the sample disc and machines, temporary folders, and the
// product's own commands for the runs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "install/SetupCommands.h"
#include "tests/HostFiles.h"
#include "tools/setup-sim/RunReport.h"

namespace labtest {

namespace fs = std::filesystem;

inline const fs::path kExamples = fs::path(ORV_SOURCE_DIR) / "examples";

inline lab::CommandsFactory ProductCommands() {
  return [](sim::SimMachine&) { return std::make_unique<install::SetupCommands>(); };
}

using testsupport::ReadText;
using testsupport::WriteText;

// A folder of its own for each lab test, removed afterwards.
class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("orv-lab") {}
};

}  // namespace labtest
