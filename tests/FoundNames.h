// The names a folder search finds, for the tests' assertions.
#pragma once

#include <set>
#include <string>

#include "platform/Files.h"

namespace testsupport {

// Every name FindFirst/FindNext return for a pattern ("." and ".." too); none when nothing matches.
inline std::set<std::string> FindAll(platform::Files& files, const std::string& pattern) {
  std::set<std::string> names;
  platform::FindData data;
  platform::FindHandle handle = files.FindFirst(pattern, data);
  if (handle.IsNull()) {
    return names;
  }
  do {
    names.insert(data.fileName);
  } while (files.FindNext(handle, data));
  files.FindClose(handle);
  return names;
}

}  // namespace testsupport
