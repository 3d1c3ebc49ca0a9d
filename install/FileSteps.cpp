#include "install/FileSteps.h"

#include "platform/WinConstants.h"

namespace install {

bool FitsPath(const std::string& path) {
  return path.size() < win::MAX_PATH;
}

bool ReplaceCopy(platform::Files& files, const std::string& source, const std::string& target) {
  if (!FitsPath(source) || !FitsPath(target)) {
    return false;
  }
  files.SetAttributes(target, win::FILE_ATTRIBUTE_NORMAL);
  return files.CopyFile(source, target, false);
}

bool NormalisedReplaceCopy(platform::Files& files, const std::string& source,
                           const std::string& target) {
  if (!FitsPath(source) || !FitsPath(target)) {
    return false;
  }
  bool copied = ReplaceCopy(files, source, target);
  files.SetAttributes(target, win::FILE_ATTRIBUTE_NORMAL);
  return copied;
}

void ForEachFile(platform::Files& files, const std::string& folder,
                 const std::function<void(const std::string& name)>& visit,
                 const std::string& pattern) {
  const std::string search = folder + pattern;
  if (!FitsPath(search)) {
    return;
  }
  platform::FindData found;
  platform::FindHandle handle = files.FindFirst(search, found);
  if (handle.IsNull()) {
    return;
  }
  do {
    if ((found.attributes & win::FILE_ATTRIBUTE_DIRECTORY) == 0) {
      visit(found.fileName);
    }
  } while (files.FindNext(handle, found));
  files.FindClose(handle);
}

bool IsInfName(const std::string& name) {
  return name.find(".inf") != std::string::npos || name.find(".INF") != std::string::npos;
}

bool NamesSetup(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  return upper.find("SETUP") != std::string::npos;
}

bool FolderExists(platform::Files& files, const std::string& folder) {
  return FitsPath(folder) && files.SetCurrentFolder(folder);
}

}  // namespace install
