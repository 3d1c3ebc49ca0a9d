#include "platform/win32/BoardPlatform.h"

namespace win32 {

platform::Platform& BoardPlatform(platform::Platform& machine) {
  return machine;
}

}  // namespace win32
