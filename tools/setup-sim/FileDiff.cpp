#include "tools/setup-sim/FileDiff.h"

namespace lab {

const char* KindName(FileChange::Kind kind) {
  switch (kind) {
    case FileChange::Kind::Created:
      return "created";
    case FileChange::Kind::Deleted:
      return "deleted";
    case FileChange::Kind::Changed:
      break;
  }
  return "changed";
}

std::vector<FileChange> DiffFiles(const MachineState& before, const MachineState& after) {
  std::vector<FileChange> changes;
  auto old = before.files.begin();
  auto now = after.files.begin();
  // Both maps are sorted by the upper-cased path: one merge pass.
  while (old != before.files.end() || now != after.files.end()) {
    if (now == after.files.end() || (old != before.files.end() && old->first < now->first)) {
      const FileState& file = old->second;
      changes.push_back(FileChange{FileChange::Kind::Deleted, file.path, file.isFolder,
                                   file.data.size(), 0, false, file.attributes, 0});
      ++old;
      continue;
    }
    const FileState& file = now->second;
    if (old == before.files.end() || now->first < old->first) {
      changes.push_back(FileChange{FileChange::Kind::Created, file.path, file.isFolder, 0,
                                   file.data.size(), false, 0, file.attributes,
                                   file.data.Fingerprint()});
      ++now;
      continue;
    }
    const FileState& was = old->second;
    if (was.isFolder != file.isFolder) {
      changes.push_back(FileChange{FileChange::Kind::Deleted, was.path, was.isFolder,
                                   was.data.size(), 0, false, was.attributes, 0});
      changes.push_back(FileChange{FileChange::Kind::Created, file.path, file.isFolder, 0,
                                   file.data.size(), false, 0, file.attributes,
                                   file.data.Fingerprint()});
    } else if (was.data != file.data || was.attributes != file.attributes) {
      changes.push_back(FileChange{FileChange::Kind::Changed, file.path, file.isFolder,
                                   was.data.size(), file.data.size(), was.data != file.data,
                                   was.attributes, file.attributes, file.data.Fingerprint()});
    }
    ++old;
    ++now;
  }
  return changes;
}

}  // namespace lab
