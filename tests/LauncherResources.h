// The launcher's compiled dialogs, strings and pictures, read once and shared by every simulated
// machine a test run builds (reading them is most of the cost of a short scenario).
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sim/Resources.h"
#include "ui/CompiledResources.h"

namespace testsupport {

inline std::shared_ptr<const sim::Resources> LauncherResources() {
  static const std::shared_ptr<const sim::Resources> resources = [] {
    auto read = std::make_shared<sim::Resources>();
    std::string error;
    if (!read->Load(ui::kSetupResources, ui::kSetupResourcesSize, error)) {
      std::abort();  // the build's own resources are broken
    }
    return read;
  }();
  return resources;
}

}  // namespace testsupport
