// A host folder read once, to be mapped as a drive or a network share into any number of
// machines: its folders and files in name order, with each file's bytes read from the host only
// when a run first reads them, then shared by every machine it is mapped into until one of them
// changes its copy. A matrix of runs over one disc walks the disc once.
//
// Symbolic links are left out, as a disc image holds none; Links() names them, for a note.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/FileData.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

// A host file's bytes, whole; false when it cannot be read.
bool ReadHostFile(const std::filesystem::path& path, std::string& content);

class HostFolder {
 public:
  // Null with a message naming what cannot be read or mapped.
  static std::shared_ptr<const HostFolder> Read(const std::filesystem::path& folder,
                                                std::string& error);

  // Into the root of a drive or share the file system already has ("D:" or "\\server\share"),
  // beside what it holds; on read-only media every file reads as read-only. False with a message
  // when a name does not fit (a path longer than 259 characters, or a clash with what is there).
  bool MapInto(SimFileSystem& files, const std::string& root, bool readOnlyMedia,
               std::string& error) const;

  // The symbolic links left out, below the folder, in name order ("Dosdrv\loop").
  const std::vector<std::string>& Links() const { return links_; }

 private:
  struct Entry {
    std::size_t parent;  // the index of the folder it is in, or kTop
    std::string name;    // as Windows keeps it
    bool isFolder = false;
    FileData data;
    std::filesystem::path host;  // where it was read from, for messages
    std::size_t length = 0;      // of its path below the root, with the separator before it
  };
  static constexpr std::size_t kTop = static_cast<std::size_t>(-1);
  class Walker;

  std::vector<Entry> entries_;  // folders before what they hold
  std::vector<std::string> links_;
};

// Host folders read once and kept, by path, for the machines of many runs.
class HostFolders {
 public:
  std::shared_ptr<const HostFolder> Get(const std::filesystem::path& folder, std::string& error);

 private:
  std::map<std::filesystem::path, std::shared_ptr<const HostFolder>> read_;
};

}  // namespace sim
