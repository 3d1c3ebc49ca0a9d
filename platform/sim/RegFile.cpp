// REGEDIT4 text: how the simulated machine keeps its registry in its folder.
#include <cstdio>
#include <functional>
#include <utility>

#include "platform/WinConstants.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t>& bytes) {
  std::string_view rest = TrimBlanks(text);
  if (rest.empty()) {
    return true;
  }
  for (const std::string& piece : Split(rest, ',')) {
    std::string_view digits = TrimBlanks(piece);
    if (digits.empty() || digits.size() > 2) {
      return false;
    }
    unsigned value = 0;
    for (char c : digits) {
      int digit = (c >= '0' && c <= '9')   ? c - '0'
                  : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                           : -1;
      if (digit < 0) {
        return false;
      }
      value = value * 16 + static_cast<unsigned>(digit);
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
  }
  return true;
}

std::string EscapeQuoted(const std::string& text) {
  std::string result = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') {
      result += '\\';
    }
    result += c;
  }
  return result + "\"";
}

std::string FormatData(const RegValue& value) {
  char buffer[16];
  const auto& data = value.data;
  if (value.type == win::REG_SZ && !data.empty() && data.back() == 0) {
    std::string text(data.begin(), data.end() - 1);
    bool plain = true;
    for (unsigned char c : text) {
      plain = plain && c >= 0x20;
    }
    if (plain) {
      return EscapeQuoted(text);
    }
  }
  if (value.type == win::REG_DWORD && data.size() == 4) {
    std::uint32_t number =
        data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "dword:%08x", number);
    return buffer;
  }
  std::string result;
  if (value.type == win::REG_BINARY) {
    result = "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
    result = buffer;
  }
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, "%s%02x", i ? "," : "", data[i]);
    result += buffer;
  }
  return result;
}

// `path` is the key's full path; it is grown for each subkey and given back as it was.
void ExportKey(const RegNode& node, std::string& path, std::string& out) {
  out.append("[").append(path).append("]\r\n");
  for (const RegValue& value : node.values) {
    out.append(value.name.empty() ? std::string("@") : EscapeQuoted(value.name))
        .append("=")
        .append(FormatData(value))
        .append("\r\n");
  }
  out += "\r\n";
  for (const auto& [upper, child] : node.children) {
    const std::size_t length = path.size();
    path.append("\\").append(child->name);
    ExportKey(*child, path, out);
    path.resize(length);
  }
}

}  // namespace

// A quoted string starting at text[0]; `end` receives the index after the closing quote.
bool ParseRegFileQuoted(std::string_view text, std::string& result, std::size_t& end) {
  if (text.empty() || text[0] != '"') {
    return false;
  }
  result.clear();
  for (std::size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      result += text[++i];
    } else if (c == '"') {
      end = i + 1;
      return true;
    } else {
      result += c;
    }
  }
  return false;
}

bool ParseRegFileData(std::string_view text, std::uint32_t& type, std::vector<std::uint8_t>& data) {
  text = TrimBlanks(text);
  data.clear();
  if (!text.empty() && text[0] == '"') {
    std::string value;
    std::size_t end = 0;
    if (!ParseRegFileQuoted(text, value, end) || !TrimBlanks(text.substr(end)).empty()) {
      return false;
    }
    type = win::REG_SZ;
    data.assign(value.begin(), value.end());
    data.push_back(0);
    return true;
  }
  if (StartsWithNoCase(text, "dword:")) {
    std::string digits(TrimBlanks(text.substr(6)));
    if (digits.empty() || digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      return false;
    }
    std::uint32_t value = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    type = win::REG_DWORD;
    data = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return true;
  }
  if (StartsWithNoCase(text, "hex:")) {
    type = win::REG_BINARY;
    return ParseHexBytes(text.substr(4), data);
  }
  if (StartsWithNoCase(text, "hex(")) {
    std::size_t close = text.find("):");
    if (close == std::string_view::npos || close == 4) {
      return false;
    }
    std::string digits(text.substr(4, close - 4));
    if (digits.size() > 8 ||
        digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
      return false;
    }
    type = static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
    return ParseHexBytes(text.substr(close + 2), data);
  }
  return false;
}

bool SimRegistry::Import(const std::string& text, std::string& error) {
  // Join continuation lines (a line ending in a backslash goes on in the next one).
  std::vector<std::pair<std::size_t, std::string>> lines;
  std::size_t lineNumber = 0;
  std::string pending;
  std::size_t pendingLine = 0;
  for (std::string_view line : SplitViews(text, '\n')) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    if (pending.empty()) {
      pendingLine = lineNumber;
    }
    pending += TrimBlanks(line);
    if (!pending.empty() && pending.back() == '\\' && pending.front() != '[') {
      pending.pop_back();
      continue;
    }
    lines.emplace_back(pendingLine, std::move(pending));
    pending.clear();
  }
  if (!pending.empty()) {
    lines.emplace_back(pendingLine, pending);
  }

  auto fail = [&](std::size_t line, const std::string& why) {
    error = "line " + std::to_string(line) + ": " + why;
    return false;
  };
  bool sawHeader = false;
  RegNode* current = nullptr;
  // The last key line's key and path: a key line that goes on below it (as every exported key
  // after its parent does) is walked from there instead of from the root.
  std::shared_ptr<RegNode> lastKey;
  std::string lastPath;
  for (const auto& [number, line] : lines) {
    if (line.empty() || line[0] == ';') {
      continue;
    }
    if (!sawHeader) {
      if (line != "REGEDIT4") {
        return fail(number, "the file does not start with REGEDIT4");
      }
      sawHeader = true;
      continue;
    }
    if (line[0] == '[') {
      if (line.back() != ']' || line.size() < 3) {
        return fail(number, "a key line must be [path]");
      }
      std::string path = line.substr(1, line.size() - 2);
      if (path[0] == '-') {
        current = nullptr;
        lastKey = nullptr;
        // Looked up from the root, so that doubled or trailing backslashes name the key they
        // name anywhere else.
        RegNode* parent = nullptr;
        std::shared_ptr<RegNode> key = Lookup(path.substr(1), &parent);
        if (key && Keeps(*key)) {
          return fail(number, "[" + path +
                                  "] would delete a root key or the key HKEY_CURRENT_USER or "
                                  "HKEY_CLASSES_ROOT stands on");
        }
        if (key && parent != nullptr) {
          MarkDeleted(*key);
          parent->children.erase(Upper(key->name));
        }
        continue;
      }
      if (lastKey && path.size() > lastPath.size() && path[lastPath.size()] == '\\' &&
          path.compare(0, lastPath.size(), lastPath) == 0) {
        lastKey = Walk(lastKey, std::string_view(path).substr(lastPath.size() + 1), true, nullptr);
      } else {
        std::string rest;
        std::string prefix;
        std::shared_ptr<RegNode> root = RootOf(path, rest, prefix);
        if (!root) {
          return fail(number, "unknown root key in [" + path + "]");
        }
        lastKey = Walk(root, rest, true, nullptr);
      }
      lastPath = std::move(path);
      current = lastKey.get();
      continue;
    }
    if (current == nullptr) {
      return fail(number, "a value line before any key");
    }
    std::string name;
    std::size_t afterName = 0;
    if (line[0] == '@') {
      afterName = 1;
    } else if (!ParseRegFileQuoted(line, name, afterName)) {
      return fail(number, "a value line must start with @ or a quoted name");
    }
    std::string_view rest = TrimBlanks(std::string_view(line).substr(afterName));
    if (rest.empty() || rest[0] != '=') {
      return fail(number, "missing = after the value name");
    }
    rest = TrimBlanks(rest.substr(1));
    if (rest == "-") {
      auto& values = current->values;
      for (auto it = values.begin(); it != values.end(); ++it) {
        if (EqualsNoCase(it->name, name)) {
          values.erase(it);
          break;
        }
      }
      continue;
    }
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!ParseRegFileData(rest, type, data)) {
      return fail(number, "unreadable value data: " + std::string(rest.substr(0, 60)));
    }
    RegValue* value = current->FindValue(name);
    if (value == nullptr) {
      current->values.push_back(RegValue{name, type, data});
    } else {
      value->type = type;
      value->data = data;
    }
  }
  if (!sawHeader) {
    return fail(lineNumber, "the file does not start with REGEDIT4");
  }
  return true;
}

std::string SimRegistry::Export() const {
  std::string out = "REGEDIT4\r\n\r\n";
  std::string path = "HKEY_LOCAL_MACHINE";
  ExportKey(*machine_, path, out);
  path = "HKEY_USERS";
  ExportKey(*users_, path, out);
  return out;
}

}  // namespace sim
