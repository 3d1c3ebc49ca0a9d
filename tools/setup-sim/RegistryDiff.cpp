#include "tools/setup-sim/RegistryDiff.h"

#include <map>

#include "platform/WinConstants.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/Text.h"

namespace lab {

namespace {

struct ExportedKey {
  std::string path;
  std::vector<std::pair<std::string, std::string>> values;  // name as written, data as written
};

// The end of a quoted value name that starts at text[0] (one past its closing quote).
std::size_t QuotedNameEnd(const std::string& text) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      return i + 1;
    }
  }
  return text.size();
}

// The keys of an export in their order, and an index by upper-cased path.
struct Exported {
  std::vector<ExportedKey> keys;
  std::map<std::string, std::size_t> index;
};

Exported ReadExport(const std::string& text) {
  Exported result;
  ExportedKey* current = nullptr;
  for (std::string line : sim::Split(text, '\n')) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty() || line[0] == ';' || line == "REGEDIT4") {
      continue;
    }
    if (line.front() == '[' && line.back() == ']') {
      std::string path = line.substr(1, line.size() - 2);
      result.index[sim::Upper(path)] = result.keys.size();
      result.keys.push_back(ExportedKey{path, {}});
      current = &result.keys.back();
      continue;
    }
    if (current == nullptr) {
      continue;
    }
    std::size_t nameEnd = line[0] == '@' ? 1 : QuotedNameEnd(line);
    if (nameEnd >= line.size() || line[nameEnd] != '=') {
      continue;
    }
    current->values.emplace_back(line.substr(0, nameEnd), line.substr(nameEnd + 1));
  }
  return result;
}

const std::string* FindData(const ExportedKey& key, const std::string& name) {
  for (const auto& [valueName, data] : key.values) {
    if (sim::EqualsNoCase(valueName, name)) {
      return &data;
    }
  }
  return nullptr;
}

std::string ParentOf(const std::string& upperPath) {
  std::size_t slash = upperPath.rfind('\\');
  return slash == std::string::npos ? std::string() : upperPath.substr(0, slash);
}

// The text of string data REGEDIT4 can only write as bytes: REG_EXPAND_SZ and REG_MULTI_SZ (its
// strings separated by " | "), or a string without its zero; none for other data, or text a
// comment could not hold.
std::optional<std::string> StringData(const std::string& written) {
  if (written.rfind("hex(", 0) != 0) {
    return std::nullopt;
  }
  std::optional<RegData> data = DecodeRegData(written);
  std::optional<std::vector<std::string>> strings =
      data ? RegDataStrings(*data) : std::optional<std::vector<std::string>>();
  if (!strings) {
    return std::nullopt;
  }
  std::string text;
  for (const std::string& each : *strings) {
    text += (text.empty() ? "" : " | ") + each;
  }
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E) {
      return std::nullopt;
    }
  }
  return RegTypeName(data->type) + " \"" + text + "\"";
}

}  // namespace

const char* KindName(RegKeyChange::Kind kind) {
  switch (kind) {
    case RegKeyChange::Kind::Added:
      return "added";
    case RegKeyChange::Kind::Deleted:
      return "deleted";
    case RegKeyChange::Kind::Changed:
      break;
  }
  return "changed";
}

std::vector<RegKeyChange> DiffRegistry(const std::string& before, const std::string& after) {
  const Exported old = ReadExport(before);
  const Exported now = ReadExport(after);
  std::vector<RegKeyChange> changes;
  // Deleted keys: only the topmost of a deleted tree is named; its subkeys go with it.
  std::map<std::string, std::size_t> deletedTops;
  for (const ExportedKey& key : old.keys) {
    std::string upper = sim::Upper(key.path);
    if (now.index.count(upper) != 0) {
      continue;
    }
    bool underDeleted = false;
    for (std::string parent = ParentOf(upper); !parent.empty(); parent = ParentOf(parent)) {
      if (auto top = deletedTops.find(parent); top != deletedTops.end()) {
        ++changes[top->second].deletedSubkeys;
        underDeleted = true;
        break;
      }
    }
    if (underDeleted) {
      continue;
    }
    RegKeyChange change{RegKeyChange::Kind::Deleted, key.path, {}, 0};
    for (const auto& [name, data] : key.values) {
      change.values.push_back(RegValueChange{name, data, std::nullopt});
    }
    deletedTops[upper] = changes.size();
    changes.push_back(change);
  }
  for (const ExportedKey& key : now.keys) {
    auto found = old.index.find(sim::Upper(key.path));
    if (found == old.index.end()) {
      RegKeyChange change{RegKeyChange::Kind::Added, key.path, {}, 0};
      for (const auto& [name, data] : key.values) {
        change.values.push_back(RegValueChange{name, std::nullopt, data});
      }
      changes.push_back(change);
      continue;
    }
    const ExportedKey& was = old.keys[found->second];
    RegKeyChange change{RegKeyChange::Kind::Changed, key.path, {}, 0};
    for (const auto& [name, data] : was.values) {
      if (FindData(key, name) == nullptr) {
        change.values.push_back(RegValueChange{name, data, std::nullopt});
      }
    }
    for (const auto& [name, data] : key.values) {
      const std::string* previous = FindData(was, name);
      if (previous == nullptr || *previous != data) {
        change.values.push_back(RegValueChange{
            name, previous ? std::optional<std::string>(*previous) : std::nullopt, data});
      }
    }
    if (!change.values.empty()) {
      changes.push_back(change);
    }
  }
  return changes;
}

std::string RegistryDiffText(const std::vector<RegKeyChange>& changes) {
  std::string text = "REGEDIT4\n";
  for (const RegKeyChange& change : changes) {
    text += "\n";
    if (change.kind == RegKeyChange::Kind::Deleted) {
      if (change.deletedSubkeys > 0) {
        text += "; with " + std::to_string(change.deletedSubkeys) +
                (change.deletedSubkeys == 1 ? " subkey\n" : " subkeys\n");
      }
      text += "[-" + change.path + "]\n";
      continue;
    }
    text += "[" + change.path + "]\n";
    for (const RegValueChange& value : change.values) {
      if (value.before && value.after) {
        text += "; was " + *value.before + "\n";
      }
      if (std::optional<std::string> readable =
              value.after ? StringData(*value.after) : std::nullopt) {
        text += "; " + *readable + "\n";
      }
      text += value.name + "=" + (value.after ? *value.after : std::string("-")) + "\n";
    }
  }
  return text;
}

std::optional<RegData> DecodeRegData(const std::string& written) {
  RegData data;
  if (!sim::ParseRegFileData(written, data.type, data.bytes)) {
    return std::nullopt;
  }
  return data;
}

std::string PlainValueName(const std::string& written) {
  std::string name;
  std::size_t end = 0;
  return written == "@" || !sim::ParseRegFileQuoted(written, name, end) ? std::string() : name;
}

std::string RegTypeName(std::uint32_t type) {
  switch (type) {
    case win::REG_NONE:
      return "REG_NONE";
    case win::REG_SZ:
      return "REG_SZ";
    case win::REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case win::REG_BINARY:
      return "REG_BINARY";
    case win::REG_DWORD:
      return "REG_DWORD";
    case win::REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    default:
      return "REG_TYPE_" + std::to_string(type);
  }
}

std::optional<std::vector<std::string>> RegDataStrings(const RegData& data) {
  if (data.type != win::REG_SZ && data.type != win::REG_EXPAND_SZ &&
      data.type != win::REG_MULTI_SZ) {
    return std::nullopt;
  }
  // Strings end at their zero; a REG_MULTI_SZ list ends at an empty string.
  std::vector<std::string> strings;
  std::string current;
  for (std::uint8_t byte : data.bytes) {
    if (byte != 0) {
      current += static_cast<char>(byte);
      continue;
    }
    if (current.empty() && data.type == win::REG_MULTI_SZ) {
      break;
    }
    strings.push_back(current);
    current.clear();
    if (data.type != win::REG_MULTI_SZ) {
      break;
    }
  }
  if (!current.empty() || (strings.empty() && data.type != win::REG_MULTI_SZ)) {
    strings.push_back(current);  // a string without its zero
  }
  return strings;
}

}  // namespace lab
