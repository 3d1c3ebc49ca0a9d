// The compiled resource script (.res), built into the programs that run the simulated machine,
// so that its dialog manager shows the very templates of the real program.
#pragma once

#include <cstddef>

namespace ui {

extern const unsigned char kSetupResources[];
extern const std::size_t kSetupResourcesSize;

}  // namespace ui
