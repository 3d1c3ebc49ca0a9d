#include "platform/sim/SimFileSystem.h"

#include <algorithm>

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr std::uint32_t kStoredAttributes =
    win::FILE_ATTRIBUTE_READONLY | win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM |
    win::FILE_ATTRIBUTE_ARCHIVE;

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string::npos;
}

}  // namespace

FileNode* FileNode::Child(std::string_view childName) const {
  auto it = childNames.find(Upper(std::string(childName)));
  return it == childNames.end() ? nullptr : it->second;
}

void FileNode::IndexChild(FileNode* child) {
  childNames.emplace(Upper(child->name), child);
  if (!child->shortName.empty()) {
    childNames.emplace(Upper(child->shortName), child);
  }
}

void FileNode::UnindexChild(FileNode* child) {
  if (child->name.find('~') != std::string::npos ||
      child->shortName.find('~') != std::string::npos) {
    shortNameTails.clear();
  }
  for (const std::string* childName : {&child->name, &child->shortName}) {
    auto it = childNames.find(Upper(*childName));
    if (it != childNames.end() && it->second == child) {
      childNames.erase(it);
    }
  }
}

void FileNode::SetShortName(std::string newShortName) {
  if (parent != nullptr) {
    parent->UnindexChild(this);
  }
  shortName = std::move(newShortName);
  if (parent != nullptr) {
    parent->IndexChild(this);
  }
}

SimFileSystem::SimFileSystem(SimCore& core) : core_(core) {}

SimFileSystem::~SimFileSystem() = default;

void SimFileSystem::AddDrive(char letter, bool readOnlyMedia) {
  std::string root = Upper(std::string(1, letter)) + ":";
  Volume& volume = volumes_[root];
  if (!volume.root) {
    volume.root = std::make_unique<FileNode>();
    volume.root->isFolder = true;
    volume.root->name = root;
  }
  volume.readOnlyMedia = readOnlyMedia;
}

bool SimFileSystem::AddShare(const std::string& unc, bool readOnlyMedia) {
  std::string text = unc;
  std::replace(text.begin(), text.end(), '/', '\\');
  if (!IsUncPath(text)) {
    return false;
  }
  Rooted rooted = SplitRoot(text);
  if (!rooted.complete || !(rooted.rest.empty() || rooted.rest == "\\") ||
      rooted.root.find_first_of("<>:\"|?*/", 2) != std::string::npos) {
    return false;
  }
  Volume& volume = volumes_[Upper(rooted.root)];
  if (!volume.root) {
    volume.root = std::make_unique<FileNode>();
    volume.root->isFolder = true;
    volume.root->name = rooted.root;
  }
  volume.readOnlyMedia = readOnlyMedia;
  return true;
}

bool SimFileSystem::HasShare(const std::string& unc) const {
  return IsUncPath(unc) && volumes_.count(Upper(SplitRoot(unc).root)) != 0;
}

bool SimFileSystem::IsReadOnlyMedia(char letter) const {
  return IsReadOnlyMedia(std::string(1, letter) + ":");
}

bool SimFileSystem::IsReadOnlyMedia(const std::string& root) const {
  auto it = volumes_.find(Upper(root));
  return it != volumes_.end() && it->second.readOnlyMedia;
}

std::vector<char> SimFileSystem::Drives() const {
  std::vector<char> letters;
  for (const auto& [key, volume] : volumes_) {
    if (!IsUncPath(key)) {
      letters.push_back(key[0]);
    }
  }
  return letters;
}

std::vector<std::string> SimFileSystem::Shares() const {
  std::vector<std::string> shares;
  for (const auto& [key, volume] : volumes_) {
    if (IsUncPath(key)) {
      shares.push_back(volume.root->name);
    }
  }
  return shares;
}

SimFileSystem::Volume* SimFileSystem::VolumeOf(const std::string& root) {
  auto it = volumes_.find(Upper(root));
  return it == volumes_.end() ? nullptr : &it->second;
}

FileNode* SimFileSystem::Root(const std::string& root, std::uint32_t& error) const {
  auto it = volumes_.find(Upper(root));
  if (it != volumes_.end()) {
    return it->second.root.get();
  }
  if (!IsUncPath(root)) {
    error = win::ERROR_PATH_NOT_FOUND;
    return nullptr;
  }
  // A share the server does not offer, or a server that is not there.
  std::string server = Upper(root.substr(0, root.find('\\', 2) + 1));
  bool knownServer = std::any_of(volumes_.begin(), volumes_.end(), [&](const auto& volume) {
    return volume.first.rfind(server, 0) == 0;
  });
  error = knownServer ? win::ERROR_BAD_NET_NAME : win::ERROR_BAD_NETPATH;
  return nullptr;
}

void SimFileSystem::SetWindowsFolder(const std::string& path) {
  windowsFolder_ = FullPath(path);
  if (windowsFolder_.size() > 3 && windowsFolder_.back() == '\\') {
    windowsFolder_.pop_back();
  }
}

void SimFileSystem::SetCurrentFolderDirect(const std::string& path) {
  std::string full = FullPath(path);
  if (!full.empty()) {
    currentFolder_ = full;
  }
}

FileNode* SimFileSystem::Locate(const Parsed& parsed, std::uint32_t& error) const {
  FileNode* node = Root(parsed.root, error);
  if (node == nullptr) {
    return nullptr;
  }
  for (std::size_t i = 0; i < parsed.parts.size(); ++i) {
    FileNode* child = node->isFolder ? node->Child(parsed.parts[i]) : nullptr;
    if (child == nullptr) {
      error = (i + 1 == parsed.parts.size() && node->isFolder) ? win::ERROR_FILE_NOT_FOUND
                                                               : win::ERROR_PATH_NOT_FOUND;
      return nullptr;
    }
    node = child;
  }
  return node;
}

FileNode* SimFileSystem::LocateParent(const Parsed& parsed, std::uint32_t& error) const {
  if (Root(parsed.root, error) == nullptr) {
    return nullptr;  // no such drive, server or share
  }
  if (parsed.parts.empty()) {
    error = win::ERROR_ACCESS_DENIED;  // the root itself
    return nullptr;
  }
  Parsed parent = parsed;
  parent.parts.pop_back();
  FileNode* folder = Locate(parent, error);
  if (folder == nullptr || !folder->isFolder) {
    error = win::ERROR_PATH_NOT_FOUND;
    return nullptr;
  }
  return folder;
}

bool SimFileSystem::Begin(Call call, std::initializer_list<Target*> targets) {
  if (core_.Injected(call)) {
    return false;
  }
  return Resolve(targets);
}

bool SimFileSystem::Resolve(std::initializer_list<Target*> targets) {
  // Every path is taken apart before any is looked up: a malformed name fails the call first.
  for (Target* target : targets) {
    target->parsed = Parse(target->text, target->pattern);
    if (target->parsed.error) {
      return core_.Fail(target->parsed.error);
    }
  }
  for (Target* target : targets) {
    std::uint32_t error = 0;
    switch (target->need) {
      case Need::Node:
      case Need::File:
        target->node = Locate(target->parsed, error);
        if (target->node == nullptr) {
          return core_.Fail(error);
        }
        if (target->need == Need::File && target->node->isFolder) {
          return core_.Fail(win::ERROR_ACCESS_DENIED);
        }
        break;
      case Need::Parent:
        if (target->parsed.parts.empty() && Root(target->parsed.root, error) != nullptr) {
          return core_.Fail(target->rootError);
        }
        target->node = LocateParent(target->parsed, error);
        if (target->node == nullptr) {
          return core_.Fail(error);
        }
        break;
      case Need::Any:
        target->node = Locate(target->parsed, target->error);
        break;
    }
  }
  return true;
}

FileNode* SimFileSystem::Find(const std::string& path) const {
  std::uint32_t error = 0;
  return Find(path, error);
}

FileNode* SimFileSystem::Find(const std::string& path, std::uint32_t& error) const {
  Parsed parsed = Parse(path);
  error = parsed.error;
  return parsed.error ? nullptr : Locate(parsed, error);
}

FileNode* SimFileSystem::AddChild(FileNode* folder, const std::string& name, bool isFolder) {
  auto node = std::make_unique<FileNode>();
  node->name = name;
  node->isFolder = isFolder;
  node->parent = folder;
  node->generation = NextGeneration();
  FileNode* raw = node.get();
  folder->children.push_back(std::move(node));
  folder->IndexChild(raw);
  AssignShortName(folder, raw);
  return raw;
}

bool SimFileSystem::Writable(const Parsed& parsed) const {
  auto it = volumes_.find(Upper(parsed.root));
  return it != volumes_.end() && !it->second.readOnlyMedia;
}

void SimFileSystem::Unlink(FileNode* node) {
  node->parent->UnindexChild(node);
  auto& siblings = node->parent->children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                              [node](const auto& child) { return child.get() == node; }));
}

std::string SimFileSystem::PathOf(const FileNode* node) const {
  std::vector<std::string> parts;
  for (const FileNode* at = node; at->parent != nullptr; at = at->parent) {
    parts.push_back(at->name);
  }
  const FileNode* root = node;
  while (root->parent != nullptr) {
    root = root->parent;
  }
  std::reverse(parts.begin(), parts.end());
  return Join(root->name, parts, parts.size());
}

bool SimFileSystem::WriteFileDirect(const std::string& path, std::string_view content,
                                    std::uint32_t attributes) {
  Parsed parsed = Parse(path);
  if (parsed.error || parsed.parts.empty() ||
      !MakeFoldersDirect(Join(parsed.root, parsed.parts, parsed.parts.size() - 1))) {
    return false;
  }
  std::uint32_t error = 0;
  FileNode* folder = LocateParent(parsed, error);
  FileNode* node = folder->Child(parsed.parts.back());
  if (node == nullptr) {
    node = AddChild(folder, parsed.parts.back(), false);
  } else if (node->isFolder) {
    return false;
  }
  node->data.assign(content.begin(), content.end());
  node->attributes = attributes & kStoredAttributes;
  node->generation = NextGeneration();
  return true;
}

bool SimFileSystem::MakeFoldersDirect(const std::string& path) {
  Parsed parsed = Parse(path);
  std::uint32_t error = 0;
  FileNode* node = parsed.error ? nullptr : Root(parsed.root, error);
  if (node == nullptr) {
    return false;
  }
  for (const std::string& part : parsed.parts) {
    FileNode* child = node->Child(part);
    if (child == nullptr) {
      child = AddChild(node, part, true);
    } else if (!child->isFolder) {
      return false;
    }
    node = child;
  }
  return true;
}

FileNode* SimFileSystem::RootDirect(const std::string& root) {
  std::uint32_t error = 0;
  return Root(SplitRoot(root).root, error);
}

FileNode* SimFileSystem::AddDirect(FileNode* folder, const std::string& name, bool isFolder) {
  if (!IsKeptName(name) || folder->Child(name) != nullptr) {
    return nullptr;
  }
  return AddChild(folder, name, isFolder);
}

std::optional<std::string> SimFileSystem::ReadFileDirect(const std::string& path) const {
  FileNode* node = Find(path);
  if (node == nullptr || node->isFolder) {
    return std::nullopt;
  }
  return std::string(node->data.begin(), node->data.end());
}

bool SimFileSystem::RemoveDirect(const std::string& path) {
  FileNode* node = Find(path);
  if (node == nullptr || node->parent == nullptr || node->openStreams > 0) {
    return false;
  }
  Unlink(node);
  return true;
}

bool SimFileSystem::MoveDirect(const std::string& source, const std::string& target) {
  FileNode* node = Find(source);
  Parsed parsed = Parse(target);
  std::uint32_t error = 0;
  FileNode* folder = parsed.error ? nullptr : LocateParent(parsed, error);
  if (node == nullptr || node->parent == nullptr || folder == nullptr || node->openStreams > 0) {
    return false;
  }
  if (FileNode* existing = folder->Child(parsed.parts.back())) {
    if (existing == node) {
      return true;
    }
    if (existing->openStreams > 0) {
      return false;
    }
    Unlink(existing);
  }
  std::unique_ptr<FileNode> owned;
  node->parent->UnindexChild(node);
  auto& siblings = node->parent->children;
  for (auto it = siblings.begin(); it != siblings.end(); ++it) {
    if (it->get() == node) {
      owned = std::move(*it);
      siblings.erase(it);
      break;
    }
  }
  owned->name = parsed.parts.back();
  owned->shortName.clear();
  owned->parent = folder;
  folder->children.push_back(std::move(owned));
  folder->IndexChild(node);
  AssignShortName(folder, node);
  node->generation = NextGeneration();
  return true;
}

bool SimFileSystem::InUse(const FileNode* node) const {
  return node->inUse || (openByPrograms_ && !node->isFolder && openByPrograms_(PathOf(node)));
}

void SimFileSystem::SetInUse(const std::string& path, bool inUse) {
  if (FileNode* node = Find(path)) {
    node->inUse = inUse;
  }
}

void SimFileSystem::ClearInUse() {
  for (auto& [key, volume] : volumes_) {
    std::function<void(FileNode&)> clear = [&clear](FileNode& node) {
      node.inUse = false;
      for (auto& child : node.children) {
        clear(*child);
      }
    };
    clear(*volume.root);
  }
}

void SimFileSystem::Walk(
    char letter, const std::function<void(const std::string&, const FileNode&)>& visit) const {
  Walk(std::string(1, letter) + ":", visit);
}

void SimFileSystem::Walk(
    const std::string& rootName,
    const std::function<void(const std::string&, const FileNode&)>& visit) const {
  std::uint32_t error = 0;
  FileNode* root = Root(rootName, error);
  if (root == nullptr) {
    return;
  }
  std::function<void(const FileNode&, const std::string&)> walk = [&](const FileNode& node,
                                                                      const std::string& path) {
    for (const auto& child : node.children) {
      std::string childPath = path + "\\" + child->name;
      visit(childPath, *child);
      if (child->isFolder) {
        walk(*child, childPath);
      }
    }
  };
  walk(*root, root->name);
}

bool SimFileSystem::CopyFile(const std::string& source, const std::string& target,
                             bool failIfExists) {
  bool copied = Copy(source, target, failIfExists);
  core_.PowerOffIfCut();
  return copied;
}

void SimFileSystem::CutWrite(FileNode* node, bool existed, const FileData& bytes) {
  const std::string path = PathOf(node);
  std::optional<std::size_t> kept = core_.power.KeptBytes(bytes.size(), existed);
  if (!kept) {
    Unlink(node);
    core_.PowerOff(path + " left absent");
  }
  node->data.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(*kept));
  node->generation = NextGeneration();
  core_.PowerOff(path + " cut after " + std::to_string(*kept) + " of " +
                 std::to_string(bytes.size()) + " bytes");
}

bool SimFileSystem::Copy(const std::string& source, const std::string& target, bool failIfExists) {
  Target from(source, Need::File);
  Target to(target, Need::Parent);
  if (!Begin(Call::CopyFileA, {&from, &to})) {
    return false;
  }
  FileNode* src = from.node;
  FileNode* folder = to.node;
  FileNode* dst = folder->Child(to.parsed.parts.back());
  if (dst != nullptr) {
    if (failIfExists) {
      return core_.Fail(win::ERROR_FILE_EXISTS);
    }
    if (dst == src || InUse(dst) || dst->openStreams > 0) {
      return core_.Fail(win::ERROR_SHARING_VIOLATION);
    }
    // The copy creates the target anew with the source's attributes: a read-only target refuses,
    // and so does a hidden or system one whose attribute the source lacks.
    const std::uint32_t hiddenOrSystem = win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM;
    if (dst->isFolder || (dst->attributes & win::FILE_ATTRIBUTE_READONLY) ||
        (dst->attributes & hiddenOrSystem & ~src->attributes) != 0) {
      return core_.Fail(win::ERROR_ACCESS_DENIED);
    }
  }
  if (!Writable(to.parsed)) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  const bool existed = dst != nullptr;
  if (dst == nullptr) {
    dst = AddChild(folder, to.parsed.parts.back(), false);
  }
  if (core_.Cutting()) {
    CutWrite(dst, existed, src->data);
  }
  dst->data = src->data;
  // The copy takes the source's attributes: a file copied from a CD stays read-only.
  dst->attributes = src->attributes;
  dst->generation = NextGeneration();
  core_.Record("file", "copy " + PathOf(src) + " -> " + PathOf(dst));
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

bool SimFileSystem::DeleteFile(const std::string& path) {
  Target file(path, Need::File);
  if (!Begin(Call::DeleteFileA, {&file})) {
    return false;
  }
  FileNode* node = file.node;
  if (!Writable(file.parsed) || (node->attributes & win::FILE_ATTRIBUTE_READONLY)) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  if (InUse(node) || node->openStreams > 0) {
    return core_.Fail(win::ERROR_SHARING_VIOLATION);
  }
  core_.Record("file", "delete " + PathOf(node));
  Unlink(node);
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

bool SimFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Target named(path, Need::Node);
  if (!Begin(Call::SetFileAttributesA, {&named})) {
    return false;
  }
  FileNode* node = named.node;
  if (!Writable(named.parsed)) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  std::uint32_t stored = attributes & kStoredAttributes;
  if (stored != node->attributes) {
    core_.Record("file", "attributes " + PathOf(node) + " = " + std::to_string(stored));
  }
  node->attributes = stored;
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

std::uint32_t SimFileSystem::GetAttributes(const std::string& path) {
  Target named(path, Need::Node);
  if (!Begin(Call::GetFileAttributesA, {&named})) {
    return win::INVALID_FILE_ATTRIBUTES;
  }
  const FileNode* node = named.node;
  if (node->isFolder) {
    return node->attributes | win::FILE_ATTRIBUTE_DIRECTORY;
  }
  return node->attributes ? node->attributes : win::FILE_ATTRIBUTE_NORMAL;
}

bool SimFileSystem::CreateFolder(const std::string& path) {
  Target created(path, Need::Parent);
  created.rootError = win::ERROR_ALREADY_EXISTS;  // a root always exists
  if (!Begin(Call::CreateDirectoryA, {&created})) {
    return false;
  }
  const std::string& name = created.parsed.parts.back();
  if (created.node->Child(name) != nullptr) {
    return core_.Fail(win::ERROR_ALREADY_EXISTS);
  }
  if (!Writable(created.parsed)) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  FileNode* node = AddChild(created.node, name, true);
  core_.Record("file", "create folder " + PathOf(node));
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

bool SimFileSystem::SetCurrentFolder(const std::string& path) {
  Target folder(path, Need::Node);
  if (!Begin(Call::SetCurrentDirectoryA, {&folder})) {
    return false;
  }
  if (!folder.node->isFolder) {
    return core_.Fail(win::ERROR_DIRECTORY);
  }
  // The current directory keeps the spelling it was given, as Windows does.
  const Parsed& parsed = folder.parsed;
  currentFolder_ = Join(parsed.root, parsed.parts, parsed.parts.size());
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

namespace {
std::uint32_t CopyOut(const std::string& text, std::uint32_t capacity, std::string& result) {
  if (text.size() + 1 > capacity) {
    return static_cast<std::uint32_t>(text.size() + 1);
  }
  result = text;
  return static_cast<std::uint32_t>(text.size());
}
}  // namespace

std::uint32_t SimFileSystem::GetCurrentFolder(std::uint32_t capacity, std::string& result) {
  if (core_.Injected(Call::GetCurrentDirectoryA)) {
    return 0;
  }
  return CopyOut(currentFolder_, capacity, result);
}

std::uint32_t SimFileSystem::GetWindowsFolder(std::uint32_t capacity, std::string& result) {
  if (core_.Injected(Call::GetWindowsDirectoryA)) {
    return 0;
  }
  return CopyOut(windowsFolder_, capacity, result);
}

std::uint32_t SimFileSystem::GetShortPath(const std::string& longPath, std::uint32_t capacity,
                                          std::string& result) {
  Target named(longPath, Need::Node);
  if (!Begin(Call::GetShortPathNameA, {&named})) {
    return 0;
  }
  const Parsed& parsed = named.parsed;
  // The nodes along the path, one for each of its names.
  std::vector<const FileNode*> chain(parsed.parts.size());
  const FileNode* node = named.node;
  for (std::size_t i = chain.size(); i > 0; --i, node = node->parent) {
    chain[i - 1] = node;
  }
  std::string text = parsed.root;
  for (std::size_t i = 0; i < chain.size(); ++i) {
    // A name without an 8.3 name of its own keeps the spelling it was given.
    text += "\\" + (chain[i]->shortName.empty() ? parsed.parts[i] : chain[i]->shortName);
  }
  if (parsed.parts.empty() || longPath.back() == '\\' || longPath.back() == '/') {
    text += "\\";
  }
  core_.lastError = win::ERROR_SUCCESS;
  return CopyOut(text, capacity, result);
}

std::uint32_t SimFileSystem::GetFullPath(const std::string& path, std::uint32_t capacity,
                                         std::string& result) {
  if (core_.Injected(Call::GetFullPathNameA)) {
    return 0;
  }
  // The ANSI call converts the path into a buffer of MAX_PATH characters.
  if (path.size() > win::MAX_PATH) {
    core_.lastError = win::ERROR_FILENAME_EXCED_RANGE;
    return 0;
  }
  std::optional<std::string> full = FullPathName(path);
  if (!full) {
    core_.lastError = win::ERROR_INVALID_NAME;
    return 0;
  }
  core_.lastError = win::ERROR_SUCCESS;
  return CopyOut(*full, capacity, result);
}

bool SimFileSystem::MoveFile(const std::string& source, const std::optional<std::string>& target,
                             std::uint32_t flags) {
  if (core_.Injected(Call::MoveFileExA)) {
    return false;
  }
  if (flags & win::MOVEFILE_DELAY_UNTIL_REBOOT) {
    // Windows 9x has no pending-rename list; its programs write WININIT.INI instead.
    if (!core_.IsNt() || !delayedMove_) {
      return core_.Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
    }
    std::string from = FullPath(source);
    std::string to = target ? FullPath(*target) : std::string();
    if (from.empty() || (target && to.empty())) {
      return core_.Fail(win::ERROR_INVALID_NAME);
    }
    if (!delayedMove_(from, to, (flags & win::MOVEFILE_REPLACE_EXISTING) != 0)) {
      return core_.Fail(win::ERROR_ACCESS_DENIED);
    }
    core_.Record("file", to.empty() ? "delete at next start " + from
                                    : "move at next start " + from + " -> " + to);
    core_.lastError = win::ERROR_SUCCESS;
    return true;
  }
  if (!target) {
    return core_.Fail(win::ERROR_INVALID_PARAMETER);
  }
  Target moved(source, Need::Node);
  Target to(*target, Need::Parent);
  if (!Resolve({&moved, &to})) {
    return false;
  }
  FileNode* node = moved.node;
  FileNode* folder = to.node;
  if (!EqualsNoCase(moved.parsed.root, to.parsed.root) && !(flags & win::MOVEFILE_COPY_ALLOWED)) {
    return core_.Fail(win::ERROR_NOT_SAME_DEVICE);
  }
  if (!Writable(moved.parsed) || !Writable(to.parsed)) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  if (InUse(node) || node->openStreams > 0) {
    return core_.Fail(win::ERROR_SHARING_VIOLATION);
  }
  FileNode* existing = folder->Child(to.parsed.parts.back());
  if (existing != nullptr && existing != node) {
    if (!(flags & win::MOVEFILE_REPLACE_EXISTING)) {
      return core_.Fail(win::ERROR_ALREADY_EXISTS);
    }
    if (existing->isFolder || (existing->attributes & win::FILE_ATTRIBUTE_READONLY)) {
      return core_.Fail(win::ERROR_ACCESS_DENIED);
    }
    if (InUse(existing) || existing->openStreams > 0) {
      return core_.Fail(win::ERROR_SHARING_VIOLATION);
    }
  }
  std::string fromText = PathOf(node);
  MoveDirect(fromText, Join(to.parsed.root, to.parsed.parts, to.parsed.parts.size()));
  core_.Record("file", "move " + fromText + " -> " + PathOf(node));
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

platform::FindData SimFileSystem::Describe(const FileNode& node, const std::string& name) const {
  platform::FindData data;
  data.fileName = name;
  data.alternateFileName = node.shortName;
  data.attributes = node.isFolder
                        ? (node.attributes | win::FILE_ATTRIBUTE_DIRECTORY)
                        : (node.attributes ? node.attributes : win::FILE_ATTRIBUTE_NORMAL);
  data.size = node.data.size();
  return data;
}

platform::FindHandle SimFileSystem::FindFirst(const std::string& pattern,
                                              platform::FindData& result) {
  Target searched(pattern, Need::Parent);
  searched.pattern = true;
  searched.rootError = win::ERROR_FILE_NOT_FOUND;  // a root is no name to look for
  if (!Begin(Call::FindFirstFileA, {&searched})) {
    return {};
  }
  const std::string& wanted = searched.parsed.parts.back();
  FileNode* folder = searched.node;
  Search search;
  search.folder = folder;
  bool wildcard = HasWildcard(wanted);
  search.dots = wildcard && folder->parent != nullptr && WildcardMatch(wanted, ".");
  for (const auto& child : folder->children) {
    bool match =
        wildcard ? (WildcardMatch(wanted, child->name) ||
                    (!child->shortName.empty() && WildcardMatch(wanted, child->shortName)))
                 : (EqualsNoCase(wanted, child->name) || EqualsNoCase(wanted, child->shortName));
    if (match) {
      search.names.push_back(child->name);
    }
  }
  platform::FindHandle handle{nextSearch_++};
  searches_[handle.value] = std::move(search);
  if (!NextMatch(handle, result)) {
    searches_.erase(handle.value);
    core_.lastError = win::ERROR_FILE_NOT_FOUND;
    return {};
  }
  core_.lastError = win::ERROR_SUCCESS;
  return handle;
}

bool SimFileSystem::FindNext(platform::FindHandle handle, platform::FindData& result) {
  if (core_.Injected(Call::FindNextFileA)) {
    return false;
  }
  return NextMatch(handle, result);
}

bool SimFileSystem::NextMatch(platform::FindHandle handle, platform::FindData& result) {
  auto it = searches_.find(handle.value);
  if (it == searches_.end()) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  Search& search = it->second;
  if (search.dots && search.dotsReturned < 2) {
    result = Describe(*search.folder, search.dotsReturned == 0 ? "." : "..");
    result.alternateFileName.clear();
    ++search.dotsReturned;
    return true;
  }
  // A file deleted since the search began is no longer returned, as on FAT.
  while (search.next < search.names.size()) {
    const std::string& name = search.names[search.next++];
    for (const auto& child : search.folder->children) {
      if (child->name == name) {
        result = Describe(*child, child->name);
        return true;
      }
    }
  }
  return core_.Fail(win::ERROR_NO_MORE_FILES);
}

void SimFileSystem::FindClose(platform::FindHandle handle) {
  if (core_.Injected(Call::FindClose)) {
    return;  // the search stays open
  }
  searches_.erase(handle.value);
}

}  // namespace sim
