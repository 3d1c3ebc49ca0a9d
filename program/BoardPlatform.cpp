#include "program/BoardPlatform.h"

namespace program {

platform::Platform& BoardPlatform(platform::Platform& machine) {
  return machine;
}

}  // namespace program
