// Compiled by the tests only, never linked: a fault is named by its call, so that a misspelt
// name, or a name given as text, does not compile (the tests compile each variant).
#include "platform/sim/SimCore.h"

void InjectCopyFault(sim::Faults& faults) {
#if defined(ORV_MISSPELT_NAME)
  faults.FailEvery(sim::Call::CopyFile, 5);
#elif defined(ORV_NAME_AS_TEXT)
  faults.FailEvery("CopyFileA", 5);
#else
  faults.FailEvery(sim::Call::CopyFileA, 5);
#endif
}
