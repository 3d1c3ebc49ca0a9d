#include "platform/sim/HostFolder.h"

#include <algorithm>
#include <fstream>

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace fs = std::filesystem;

namespace sim {

bool ReadHostFile(const fs::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  content.clear();
  char chunk[16384];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
    content.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  return !in.bad();
}

// Walks the folder depth first, each folder's names in order, so that the machine creates them
// in the same order on every run (the order decides the 8.3 names' numbers).
class HostFolder::Walker {
 public:
  Walker(HostFolder& folder, fs::path top, std::string& error)
      : folder_(folder), top_(std::move(top)), error_(error) {}

  // `host` as walked; `index` of its entry, `length` of its path below the top.
  bool Walk(const fs::path& host, std::size_t index, std::size_t length) {
    std::error_code code;
    std::vector<fs::directory_entry> children;
    for (fs::directory_iterator it(host, code); !code && it != fs::directory_iterator();
         it.increment(code)) {
      children.push_back(*it);
    }
    if (code) {
      error_ = "cannot read " + host.string() + ": " + code.message();
      return false;
    }
    std::sort(children.begin(), children.end());
    std::map<std::string, fs::path> names;  // upper-cased, as Windows compares them
    for (const fs::directory_entry& child : children) {
      const fs::file_status status = child.symlink_status(code);
      if (code) {
        error_ = "cannot read " + child.path().string() + ": " + code.message();
        return false;
      }
      if (fs::is_symlink(status)) {
        std::string link = child.path().lexically_relative(top_).string();
        std::replace(link.begin(), link.end(), '/', '\\');
        folder_.links_.push_back(link);
        continue;
      }
      const bool isFolder = fs::is_directory(status);
      if (!isFolder && !fs::is_regular_file(status)) {
        continue;  // a device, a pipe or a socket: nothing a disc can hold
      }
      std::string name = child.path().filename().string();
      name.erase(name.find_last_not_of(". ") == std::string::npos
                     ? 0
                     : name.find_last_not_of(". ") + 1);  // as Windows drops them
      auto [clash, fresh] = names.emplace(Upper(name), child.path());
      if (!IsKeptName(name) || !fresh) {
        error_ = "cannot map " + child.path().string() +
                 (fresh ? ": Windows refuses the name"
                        : ": Windows takes it and " + clash->second.string() +
                              " as one name (it ignores case, and dots and blanks at the end)");
        return false;
      }
      Entry entry{index, name, isFolder, FileData(), child.path(), length + 1 + name.size()};
      if (!isFolder) {
        const std::uintmax_t size = child.file_size(code);
        const fs::file_time_type written = child.last_write_time(code);
        if (code) {
          error_ = "cannot read " + child.path().string() + ": " + code.message();
          return false;
        }
        entry.data = FileData::FromHost(child.path(), size, written);
      }
      folder_.entries_.push_back(std::move(entry));
      if (isFolder &&
          !Walk(child.path(), folder_.entries_.size() - 1, folder_.entries_.back().length)) {
        return false;
      }
    }
    return true;
  }

 private:
  HostFolder& folder_;
  const fs::path top_;
  std::string& error_;
};

std::shared_ptr<const HostFolder> HostFolder::Read(const fs::path& folder, std::string& error) {
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    error = "no such folder: " + folder.string();
    return nullptr;
  }
  auto read = std::make_shared<HostFolder>();
  error.clear();
  Walker walker(*read, folder, error);
  if (!walker.Walk(folder, kTop, 0)) {
    return nullptr;
  }
  std::sort(read->links_.begin(), read->links_.end());
  return read;
}

bool HostFolder::MapInto(SimFileSystem& files, const std::string& root, bool readOnlyMedia,
                         std::string& error) const {
  FileNode* top = files.RootDirect(root);
  if (top == nullptr) {
    error = "no drive or share " + root;
    return false;
  }
  std::vector<FileNode*> nodes(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    FileNode* folder = entry.parent == kTop ? top : nodes[entry.parent];
    FileNode* node = folder->Child(entry.name);
    if (top->name.size() + entry.length >= win::MAX_PATH) {
      node = nullptr;
    } else if (node == nullptr) {
      node = files.AddDirect(folder, entry.name, entry.isFolder);
    } else if (node->isFolder != entry.isFolder) {
      node = nullptr;  // what is there already takes more, but not the other kind
    }
    if (node == nullptr) {
      std::string path = entry.name;
      for (std::size_t up = entry.parent; up != kTop; up = entries_[up].parent) {
        path = entries_[up].name + "\\" + path;
      }
      error = "cannot map " + entry.host.string() + " as " + top->name + "\\" + path +
              " (a path longer than 259 characters, or a name the drive has for another kind)";
      return false;
    }
    if (!entry.isFolder) {
      node->data = entry.data;
      node->attributes = readOnlyMedia ? win::FILE_ATTRIBUTE_READONLY : 0;
      node->generation = files.NextGeneration();
    }
    nodes[i] = node;
  }
  return true;
}

std::shared_ptr<const HostFolder> HostFolders::Get(const fs::path& folder, std::string& error) {
  const fs::path key = fs::absolute(folder).lexically_normal();
  auto known = read_.find(key);
  if (known != read_.end()) {
    return known->second;
  }
  std::shared_ptr<const HostFolder> read = HostFolder::Read(folder, error);
  if (read) {
    read_.emplace(key, read);
  }
  return read;
}

}  // namespace sim
