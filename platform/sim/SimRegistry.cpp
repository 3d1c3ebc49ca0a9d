#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>

#include "platform/WinConstants.h"
#include "platform/journal/JournalWords.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr std::uintptr_t kClassesRoot = win::HKEY_CLASSES_ROOT.value;
constexpr std::uintptr_t kCurrentUser = win::HKEY_CURRENT_USER.value;
constexpr std::uintptr_t kLocalMachine = win::HKEY_LOCAL_MACHINE.value;
constexpr std::uintptr_t kUsers = win::HKEY_USERS.value;
constexpr std::uintptr_t kCurrentConfig = win::HKEY_CURRENT_CONFIG.value;
// What an open asks for beyond reading: a key opened with any of these is opened for writing.
constexpr std::uint32_t kWriteRights =
    win::KEY_SET_VALUE | win::KEY_CREATE_SUB_KEY | win::KEY_CREATE_LINK;

std::size_t CountKeys(const RegNode& node) {
  std::size_t count = 1;
  for (const auto& [name, child] : node.children) {
    count += CountKeys(*child);
  }
  return count;
}

std::shared_ptr<RegNode> CopyKey(const RegNode& node) {
  auto copy = std::make_shared<RegNode>();
  copy->name = node.name;
  copy->values = node.values;
  copy->deleted = node.deleted;
  for (const auto& [upper, child] : node.children) {
    copy->children.emplace(upper, CopyKey(*child));
  }
  return copy;
}

}  // namespace

void MarkDeleted(RegNode& node) {
  node.deleted = true;
  for (auto& [name, child] : node.children) {
    MarkDeleted(*child);
  }
}

RegValue* RegNode::FindValue(const std::string& valueName) {
  for (RegValue& value : values) {
    if (EqualsNoCase(value.name, valueName)) {
      return &value;
    }
  }
  return nullptr;
}

RegNode* RegNode::FindChild(const std::string& childName) const {
  auto it = children.find(Upper(childName));
  return it == children.end() ? nullptr : it->second.get();
}

SimRegistry::SimRegistry(SimCore& core)
    : core_(core), machine_(std::make_shared<RegNode>()), users_(std::make_shared<RegNode>()) {
  machine_->name = "HKEY_LOCAL_MACHINE";
  users_->name = "HKEY_USERS";
  SetCurrentUser(currentUser_);
}

void SimRegistry::SetCurrentUser(const std::string& userKey) {
  currentUser_ = userKey;
  EnsureKey("HKEY_USERS\\" + userKey);
  EnsureKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes");
  // Windows 9x gives a user a key of his own only with user profiles on, and lists him.
  if (!core_.IsNt() && !EqualsNoCase(userKey, ".DEFAULT")) {
    RegNode* logon = EnsureKey("HKEY_LOCAL_MACHINE\\Network\\Logon");
    if (logon->FindValue("UserProfiles") == nullptr) {
      logon->values.push_back(RegValue{"UserProfiles", win::REG_DWORD, {1, 0, 0, 0}});
    }
    EnsureKey("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\ProfileList\\" +
              userKey);
  }
}

std::int32_t SimRegistry::Result(std::uint32_t error) {
  core_.lastError = error;
  return static_cast<std::int32_t>(error);
}

bool SimRegistry::Resolve(platform::RegKey key, Open& result) const {
  switch (key.value) {
    case kLocalMachine:
      result = Open{machine_, win::KEY_ALL_ACCESS, "HKEY_LOCAL_MACHINE"};
      return true;
    case kUsers:
      result = Open{users_, win::KEY_ALL_ACCESS, "HKEY_USERS"};
      return true;
    case kCurrentUser:
    case kClassesRoot:
    case kCurrentConfig: {
      std::string path = key.value == kCurrentUser   ? "HKEY_USERS\\" + currentUser_
                         : key.value == kClassesRoot ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes"
                                                     : "HKEY_LOCAL_MACHINE\\Config\\0001";
      std::shared_ptr<RegNode> current = Lookup(path);
      if (!current) {
        return false;
      }
      result = Open{current, win::KEY_ALL_ACCESS, path};
      return true;
    }
    default: {
      auto it = open_.find(key.value);
      if (it == open_.end()) {
        return false;
      }
      result = it->second;
      return true;
    }
  }
}

std::int32_t SimRegistry::Begin(Call call, platform::RegKey key, std::uint32_t right, Open& open) {
  if (core_.Injected(call)) {
    return static_cast<std::int32_t>(core_.lastError);
  }
  if (!Resolve(key, open)) {
    return Result(win::ERROR_INVALID_HANDLE);
  }
  if (open.node->deleted) {
    return Result(win::ERROR_KEY_DELETED);
  }
  if (right != 0 && !Allowed(open, right)) {
    return Result(win::ERROR_ACCESS_DENIED);
  }
  return win::ERROR_SUCCESS;
}

std::shared_ptr<RegNode> SimRegistry::RootOf(const std::string& fullPath, std::string& rest,
                                             std::string& prefix) const {
  std::size_t slash = fullPath.find('\\');
  std::string root = Upper(fullPath.substr(0, slash));
  rest = slash == std::string::npos ? "" : fullPath.substr(slash + 1);
  if (root == "HKEY_LOCAL_MACHINE" || root == "HKLM") {
    prefix = "HKEY_LOCAL_MACHINE";
    return machine_;
  }
  if (root == "HKEY_USERS" || root == "HKU") {
    prefix = "HKEY_USERS";
    return users_;
  }
  if (root == "HKEY_CURRENT_USER" || root == "HKCU") {
    prefix = "HKEY_USERS";
    rest = currentUser_ + (rest.empty() ? "" : "\\" + rest);
    return users_;
  }
  if (root == "HKEY_CLASSES_ROOT" || root == "HKCR") {
    prefix = "HKEY_LOCAL_MACHINE";
    rest = "SOFTWARE\\Classes" + (rest.empty() ? "" : "\\" + rest);
    return machine_;
  }
  if (root == "HKEY_CURRENT_CONFIG" || root == "HKCC") {
    prefix = "HKEY_LOCAL_MACHINE";
    rest = "Config\\0001" + (rest.empty() ? "" : "\\" + rest);
    return machine_;
  }
  return nullptr;
}

std::shared_ptr<RegNode> SimRegistry::Lookup(const std::string& fullPath, RegNode** parent) const {
  std::string rest;
  std::string prefix;
  std::shared_ptr<RegNode> node = RootOf(fullPath, rest, prefix);
  if (parent != nullptr) {
    *parent = nullptr;
  }
  for (std::string_view part : SplitViews(rest, '\\')) {
    if (!node) {
      break;
    }
    if (!part.empty()) {
      if (parent != nullptr) {
        *parent = node.get();
      }
      auto it = node->children.find(Upper(part));
      node = it == node->children.end() ? nullptr : it->second;
    }
  }
  return node;
}

bool SimRegistry::Keeps(const RegNode& key) const {
  for (const std::string& path :
       {"HKEY_USERS\\" + currentUser_, std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes")}) {
    std::string rest;
    std::string prefix;
    const RegNode* node = RootOf(path, rest, prefix).get();
    for (std::string_view part : SplitViews(rest, '\\')) {
      if (node == nullptr || node == &key) {
        break;
      }
      if (!part.empty()) {
        node = node->FindChild(std::string(part));
      }
    }
    if (node == &key) {
      return true;
    }
  }
  return false;
}

const RegNode* SimRegistry::FindKey(const std::string& fullPath) const {
  return Lookup(fullPath).get();
}

const RegValue* SimRegistry::FindValue(const std::string& fullPath,
                                       const std::string& valueName) const {
  RegNode* node = const_cast<RegNode*>(FindKey(fullPath));
  return node == nullptr ? nullptr : node->FindValue(valueName);
}

RegNode* SimRegistry::EnsureKey(const std::string& fullPath) {
  std::string rest;
  std::string prefix;
  std::shared_ptr<RegNode> root = RootOf(fullPath, rest, prefix);
  if (!root) {
    return nullptr;
  }
  return Walk(root, rest, true, nullptr).get();
}

RegistryImage SimRegistry::Copy() const {
  return RegistryImage{CopyKey(*machine_), CopyKey(*users_)};
}

void SimRegistry::Restore(const RegistryImage& image) {
  machine_ = CopyKey(*image.machine);
  users_ = CopyKey(*image.users);
  open_.clear();
}

std::shared_ptr<RegNode> SimRegistry::Walk(const std::shared_ptr<RegNode>& from,
                                           std::string_view subKey, bool create, std::string* path,
                                           bool* created) {
  const std::shared_ptr<RegNode>* node = &from;  // the map's own pointer: no count to change
  std::string upper;
  for (std::string_view part : SplitViews(subKey, '\\')) {
    if (part.empty()) {
      continue;
    }
    auto& children = (*node)->children;
    AssignUpper(upper, part);
    auto it = children.find(upper);
    if (it == children.end()) {
      if (!create) {
        return nullptr;
      }
      auto child = std::make_shared<RegNode>();
      child->name = part;
      child->made = ++keysMade_;
      it = children.emplace(std::move(upper), child).first;
      if (created != nullptr) {
        *created = true;
      }
    }
    node = &it->second;
    if (path != nullptr) {
      path->append("\\").append((*node)->name);
    }
  }
  return *node;
}

bool SimRegistry::WriteAllowed(const std::string& fullPath) const {
  return !core_.IsNt() || core_.administrator || !StartsWithNoCase(fullPath, "HKEY_LOCAL_MACHINE");
}

bool SimRegistry::Allowed(const Open& open, std::uint32_t right) const {
  return !core_.IsNt() || (open.access & right) == right;
}

platform::RegKey SimRegistry::NewHandle(const std::shared_ptr<RegNode>& node, std::uint32_t access,
                                        const std::string& path) {
  platform::RegKey handle{nextHandle_};
  nextHandle_ += 4;
  open_[handle.value] = Open{node, access, path};
  return handle;
}

std::int32_t SimRegistry::OpenKey(platform::RegKey parent, const std::string& subKey,
                                  std::uint32_t access, platform::RegKey& result) {
  result = {};
  Open base;
  if (std::int32_t error = Begin(Call::RegOpenKeyExA, parent, 0, base)) {
    return error;
  }
  std::string path = base.path;
  std::shared_ptr<RegNode> node = Walk(base.node, subKey, false, &path);
  if (!node) {
    return Result(win::ERROR_FILE_NOT_FOUND);
  }
  if ((access & kWriteRights) != 0 && !WriteAllowed(path)) {
    return Result(win::ERROR_ACCESS_DENIED);
  }
  result = NewHandle(node, access, path);
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::CreateKey(platform::RegKey parent, const std::string& subKey,
                                    std::uint32_t access, platform::RegKey& result,
                                    std::uint32_t* disposition) {
  result = {};
  Open base;
  if (std::int32_t error = Begin(Call::RegCreateKeyExA, parent, 0, base)) {
    return error;
  }
  std::string path = base.path;
  bool created = false;
  if (!Walk(base.node, subKey, false, &path)) {
    if (!Allowed(base, win::KEY_CREATE_SUB_KEY) || !WriteAllowed(base.path)) {
      return Result(win::ERROR_ACCESS_DENIED);
    }
  } else if ((access & kWriteRights) != 0 && !WriteAllowed(path)) {
    return Result(win::ERROR_ACCESS_DENIED);
  }
  path = base.path;
  std::shared_ptr<RegNode> node = Walk(base.node, subKey, true, &path, &created);
  if (created) {
    core_.Record("registry", "create key " + path);
  }
  if (disposition != nullptr) {
    *disposition = created ? win::REG_CREATED_NEW_KEY : win::REG_OPENED_EXISTING_KEY;
  }
  result = NewHandle(node, access, path);
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                     std::uint32_t capacity, platform::RegData& result) {
  result = {};
  Open open;
  if (std::int32_t error = Begin(Call::RegQueryValueExA, key, win::KEY_QUERY_VALUE, open)) {
    return error;
  }
  const RegValue* value = open.node->FindValue(name);
  if (value == nullptr) {
    return Result(win::ERROR_FILE_NOT_FOUND);
  }
  result.type = value->type;
  result.size = static_cast<std::uint32_t>(value->data.size());
  if (value->data.size() > capacity) {
    return Result(win::ERROR_MORE_DATA);
  }
  result.bytes = value->data;
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::SetValue(platform::RegKey key, const std::string& name,
                                   std::uint32_t type, const std::uint8_t* data,
                                   std::uint32_t size) {
  Open open;
  if (std::int32_t error = Begin(Call::RegSetValueExA, key, win::KEY_SET_VALUE, open)) {
    return error;
  }
  if (data == nullptr && size != 0) {
    return Result(win::ERROR_INVALID_PARAMETER);
  }
  std::vector<std::uint8_t> bytes(data, data + size);
  RegValue* value = open.node->FindValue(name);
  if (value == nullptr) {
    open.node->values.push_back(RegValue{name, type, {}});
    value = &open.node->values.back();
  }
  value->type = type;
  value->data = std::move(bytes);
  core_.Record("registry", "set " + open.path + " " + journal::Quoted(name.empty() ? "@" : name) +
                               " = " + journal::RegistryData(type, value->data));
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::EnumKey(platform::RegKey key, std::uint32_t index,
                                  std::uint32_t nameCapacity, std::string& name) {
  Open open;
  if (std::int32_t error = Begin(Call::RegEnumKeyExA, key, win::KEY_ENUMERATE_SUB_KEYS, open)) {
    return error;
  }
  const auto& children = open.node->children;
  if (index >= children.size()) {
    return Result(win::ERROR_NO_MORE_ITEMS);
  }
  const RegNode* child = nullptr;
  if (core_.IsNt()) {
    child = std::next(children.begin(), index)->second.get();
  } else {
    std::vector<const RegNode*> made;
    made.reserve(children.size());
    for (const auto& entry : children) {
      made.push_back(entry.second.get());
    }
    std::nth_element(made.begin(), made.begin() + index, made.end(),
                     [](const RegNode* a, const RegNode* b) { return a->made < b->made; });
    child = made[index];
  }
  if (child->name.size() + 1 > nameCapacity) {
    return Result(win::ERROR_MORE_DATA);
  }
  name = child->name;
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::EnumValue(platform::RegKey key, std::uint32_t index,
                                    std::uint32_t nameCapacity, std::string& name,
                                    std::uint32_t* type) {
  Open open;
  if (std::int32_t error = Begin(Call::RegEnumValueA, key, win::KEY_QUERY_VALUE, open)) {
    return error;
  }
  if (index >= open.node->values.size()) {
    return Result(win::ERROR_NO_MORE_ITEMS);
  }
  const RegValue& value = open.node->values[index];
  if (value.name.size() + 1 > nameCapacity) {
    return Result(win::ERROR_MORE_DATA);
  }
  name = value.name;
  if (type != nullptr) {
    *type = value.type;
  }
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::DeleteValue(platform::RegKey key, const std::string& name) {
  Open open;
  if (std::int32_t error = Begin(Call::RegDeleteValueA, key, win::KEY_SET_VALUE, open)) {
    return error;
  }
  auto& values = open.node->values;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (EqualsNoCase(it->name, name)) {
      core_.Record("registry", "delete value " + open.path + " " + journal::Quoted(it->name));
      values.erase(it);
      return Result(win::ERROR_SUCCESS);
    }
  }
  return Result(win::ERROR_FILE_NOT_FOUND);
}

std::int32_t SimRegistry::DeleteKey(platform::RegKey key, const std::string& subKey) {
  Open open;
  if (std::int32_t error = Begin(Call::RegDeleteKeyA, key, 0, open)) {
    return error;
  }
  std::string path = open.path;
  if (!Walk(open.node, subKey, false, &path)) {
    return Result(win::ERROR_FILE_NOT_FOUND);
  }
  if (!WriteAllowed(path)) {
    return Result(win::ERROR_ACCESS_DENIED);
  }
  // Unlink the key from its parent.
  RegNode* parent = nullptr;
  std::shared_ptr<RegNode> node = Lookup(path, &parent);
  if (!node || parent == nullptr) {
    return Result(win::ERROR_ACCESS_DENIED);  // a predefined root cannot be deleted
  }
  std::size_t removed = CountKeys(*node) - 1;
  MarkDeleted(*node);
  parent->children.erase(Upper(node->name));
  core_.Record("registry", "delete key " + path +
                               (removed ? " with " + std::to_string(removed) + " subkeys" : ""));
  return Result(win::ERROR_SUCCESS);
}

std::int32_t SimRegistry::CloseKey(platform::RegKey key) {
  if (core_.Injected(Call::RegCloseKey)) {
    return static_cast<std::int32_t>(core_.lastError);  // the handle stays open
  }
  if (key == win::HKEY_CLASSES_ROOT || key == win::HKEY_CURRENT_USER ||
      key == win::HKEY_LOCAL_MACHINE || key == win::HKEY_USERS || key == win::HKEY_CURRENT_CONFIG) {
    return Result(win::ERROR_SUCCESS);
  }
  if (open_.erase(key.value) == 0) {
    return Result(win::ERROR_INVALID_HANDLE);
  }
  return Result(win::ERROR_SUCCESS);
}

}  // namespace sim
