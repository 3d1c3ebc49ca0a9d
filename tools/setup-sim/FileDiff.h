// The file changes of a run: the files and folders of two machine states compared by path.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/setup-sim/MachineState.h"

namespace lab {

struct FileChange {
  enum class Kind { Created, Changed, Deleted };
  Kind kind = Kind::Changed;
  std::string path;
  bool isFolder = false;
  std::uint64_t sizeBefore = 0;
  std::uint64_t sizeAfter = 0;
  bool contentChanged = false;  // Changed: the bytes differ (else only the attributes)
  std::uint32_t attributesBefore = 0;
  std::uint32_t attributesAfter = 0;
  std::uint64_t contentAfter = 0;  // a fingerprint of the bytes after; 0 when deleted
};

// In path order, so that a folder comes before what it holds.
std::vector<FileChange> DiffFiles(const MachineState& before, const MachineState& after);

const char* KindName(FileChange::Kind kind);

}  // namespace lab
