// Writing a machine's new state back into its folder so that nothing is lost when the write is
// interrupted: the new state is written into a temporary folder beside it, which then takes the
// folder's place in one step; until then the folder is as it was.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "platform/sim/SimMachine.h"

namespace lab {

// False with a message when the machine folder cannot be saved whole: a writable drive or
// share that machine.ini places outside the folder would be written in place.
bool CheckSavable(const std::filesystem::path& folder, std::string& error);

// `beforeSwap` runs once the new state is complete in the temporary folder; returning false
// stops there, as an interruption would (for tests).
bool SaveMachineSafely(
    sim::SimMachine& machine, const std::filesystem::path& folder, std::string& error,
    const std::function<bool()>& beforeSwap = [] { return true; });

// The temporary folder an interrupted save left beside the machine folder, or empty.
std::string SaveLeftover(const std::filesystem::path& folder);

}  // namespace lab
