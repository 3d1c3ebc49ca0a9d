#include "tools/setup-sim/RegistryDiff.h"

#include <cstdlib>
#include <map>

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

// The text of string data REGEDIT4 can only write as bytes: "hex(2):" (REG_EXPAND_SZ) and
// "hex(7):" (REG_MULTI_SZ, its strings separated by " | "), or a string without its zero.
std::optional<std::string> StringData(const std::string& data) {
  const bool expand = data.rfind("hex(2):", 0) == 0;
  const bool multi = data.rfind("hex(7):", 0) == 0;
  if (!expand && !multi && data.rfind("hex(1):", 0) != 0) {
    return std::nullopt;
  }
  std::string text;
  for (const std::string& byte : sim::Split(data.substr(7), ',')) {
    unsigned long value = std::strtoul(byte.c_str(), nullptr, 16);
    if (value == 0) {
      text += multi ? " | " : "";
    } else if (value < 0x20 || value > 0x7E) {
      return std::nullopt;
    } else {
      text += static_cast<char>(value);
    }
  }
  while (multi && text.size() >= 3 && text.compare(text.size() - 3, 3, " | ") == 0) {
    text.erase(text.size() - 3);
  }
  return std::string(expand  ? "REG_EXPAND_SZ"
                     : multi ? "REG_MULTI_SZ"
                             : "REG_SZ") +
         " \"" + text + "\"";
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

}  // namespace lab
