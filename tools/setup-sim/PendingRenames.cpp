#include "tools/setup-sim/PendingRenames.h"

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace lab {

namespace {

constexpr const char* kSessionManager =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";

// "\??\C:\x" or "!\??\C:\x" -> "C:\x".
std::string StripNtPrefix(std::string path) {
  if (!path.empty() && path[0] == '!') {
    path.erase(0, 1);
  }
  return path.rfind("\\??\\", 0) == 0 ? path.substr(4) : path;
}

}  // namespace

std::vector<PendingRename> ReadPendingRenames(sim::SimMachine& machine) {
  std::vector<PendingRename> renames;
  if (machine.Core().IsNt()) {
    const sim::RegValue* value =
        machine.Registry().FindValue(kSessionManager, "PendingFileRenameOperations");
    if (value == nullptr) {
      return renames;
    }
    std::vector<std::string> strings;
    std::string current;
    for (std::uint8_t byte : value->data) {
      if (byte == 0) {
        strings.push_back(current);
        current.clear();
      } else {
        current += static_cast<char>(byte);
      }
    }
    for (std::size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2) {
      renames.push_back(PendingRename{StripNtPrefix(strings[i]), StripNtPrefix(strings[i + 1])});
    }
    return renames;
  }
  std::optional<std::string> wininit =
      machine.Files().ReadFileDirect(machine.Files().WindowsFolder() + "\\WININIT.INI");
  if (!wininit) {
    return renames;
  }
  for (const auto& [target, source] : sim::ProfileDocument(*wininit).Entries("rename")) {
    renames.push_back(PendingRename{source, sim::EqualsNoCase(target, "NUL") ? "" : target});
  }
  return renames;
}

}  // namespace lab
