#include "platform/WinConstants.h"
#include "platform/journal/JournalingPlatform.h"

namespace journal {

namespace {

// Key names are at most 255 characters.
constexpr std::uint32_t kKeyNameCapacity = 256;

const char* RootName(platform::RegKey key) {
  if (key == win::HKEY_CLASSES_ROOT) {
    return "HKEY_CLASSES_ROOT";
  }
  if (key == win::HKEY_CURRENT_USER) {
    return "HKEY_CURRENT_USER";
  }
  if (key == win::HKEY_LOCAL_MACHINE) {
    return "HKEY_LOCAL_MACHINE";
  }
  if (key == win::HKEY_USERS) {
    return "HKEY_USERS";
  }
  if (key == win::HKEY_CURRENT_CONFIG) {
    return "HKEY_CURRENT_CONFIG";
  }
  return nullptr;
}

}  // namespace

std::string JournalRegistry::PathOf(platform::RegKey key) const {
  if (const char* root = RootName(key)) {
    return root;
  }
  auto it = paths_.find(key.value);
  return it != paths_.end() ? it->second : "key " + Hex(static_cast<std::uint32_t>(key.value), 1);
}

std::string JournalRegistry::PathBelow(platform::RegKey key, const std::string& subKey) const {
  return subKey.empty() ? PathOf(key) : PathOf(key) + "\\" + subKey;
}

std::size_t JournalRegistry::CountSubkeys(platform::RegKey key) {
  platform::Registry& registry = below_.platform.registry;
  std::size_t count = 0;
  std::string name;
  for (std::uint32_t index = 0;; ++index) {
    std::int32_t status = registry.EnumKey(key, index, kKeyNameCapacity, name);
    if (status == static_cast<std::int32_t>(win::ERROR_MORE_DATA)) {
      ++count;  // there, though its name does not fit
      continue;
    }
    if (status != 0) {
      return count;
    }
    ++count;
    platform::RegKey child;
    if (registry.OpenKey(key, name, win::KEY_READ, child) == 0) {
      count += CountSubkeys(child);
      registry.CloseKey(child);
    }
  }
}

std::int32_t JournalRegistry::OpenKey(platform::RegKey parent, const std::string& subKey,
                                      std::uint32_t access, platform::RegKey& result) {
  std::int32_t status = below_.platform.registry.OpenKey(parent, subKey, access, result);
  if (status == 0) {
    paths_[result.value] = PathBelow(parent, subKey);
  }
  return status;
}

std::int32_t JournalRegistry::CreateKey(platform::RegKey parent, const std::string& subKey,
                                        std::uint32_t access, platform::RegKey& result,
                                        std::uint32_t* disposition) {
  std::uint32_t what = 0;
  std::int32_t status = below_.platform.registry.CreateKey(parent, subKey, access, result, &what);
  if (disposition != nullptr) {
    *disposition = what;
  }
  const std::string path = PathBelow(parent, subKey);
  if (status != 0) {
    below_.Failed("RegCreateKeyExA", path, static_cast<std::uint32_t>(status));
    return status;
  }
  paths_[result.value] = path;
  if (what == win::REG_CREATED_NEW_KEY) {
    below_.journal.Record("registry", "create key " + path);
  }
  return status;
}

std::int32_t JournalRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                         std::uint32_t capacity, platform::RegData& result) {
  return below_.platform.registry.QueryValue(key, name, capacity, result);
}

std::int32_t JournalRegistry::SetValue(platform::RegKey key, const std::string& name,
                                       std::uint32_t type, const std::uint8_t* data,
                                       std::uint32_t size) {
  std::int32_t status = below_.platform.registry.SetValue(key, name, type, data, size);
  const std::string what = PathOf(key) + " " + Quoted(name.empty() ? "@" : name);
  if (status != 0) {
    below_.Failed("RegSetValueExA", what, static_cast<std::uint32_t>(status));
  } else {
    std::vector<std::uint8_t> bytes;
    if (data != nullptr) {
      bytes.assign(data, data + size);
    }
    below_.journal.Record("registry", "set " + what + " = " + RegistryData(type, bytes));
  }
  return status;
}

std::int32_t JournalRegistry::EnumKey(platform::RegKey key, std::uint32_t index,
                                      std::uint32_t nameCapacity, std::string& name) {
  return below_.platform.registry.EnumKey(key, index, nameCapacity, name);
}

std::int32_t JournalRegistry::EnumValue(platform::RegKey key, std::uint32_t index,
                                        std::uint32_t nameCapacity, std::string& name,
                                        std::uint32_t* type) {
  return below_.platform.registry.EnumValue(key, index, nameCapacity, name, type);
}

std::int32_t JournalRegistry::DeleteValue(platform::RegKey key, const std::string& name) {
  std::int32_t status = below_.platform.registry.DeleteValue(key, name);
  if (status == 0) {
    below_.journal.Record("registry", "delete value " + PathOf(key) + " " + Quoted(name));
  } else if (status != static_cast<std::int32_t>(win::ERROR_FILE_NOT_FOUND)) {
    below_.Failed("RegDeleteValueA", PathOf(key) + " " + Quoted(name),
                  static_cast<std::uint32_t>(status));
  }
  return status;
}

std::int32_t JournalRegistry::DeleteKey(platform::RegKey key, const std::string& subKey) {
  std::size_t subkeys = 0;
  platform::RegKey doomed;
  if (below_.platform.registry.OpenKey(key, subKey, win::KEY_READ, doomed) == 0) {
    subkeys = CountSubkeys(doomed);
    below_.platform.registry.CloseKey(doomed);
  }
  std::int32_t status = below_.platform.registry.DeleteKey(key, subKey);
  const std::string path = PathBelow(key, subKey);
  if (status == 0) {
    below_.journal.Record(
        "registry",
        "delete key " + path + (subkeys ? " with " + std::to_string(subkeys) + " subkeys" : ""));
  } else if (status != static_cast<std::int32_t>(win::ERROR_FILE_NOT_FOUND)) {
    below_.Failed("RegDeleteKeyA", path, static_cast<std::uint32_t>(status));
  }
  return status;
}

std::int32_t JournalRegistry::CloseKey(platform::RegKey key) {
  paths_.erase(key.value);
  return below_.platform.registry.CloseKey(key);
}

}  // namespace journal
