#include "platform/sim/BootRenames.h"

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

// "\??\C:\x" names C:\x; the session manager's paths are NT object names.
std::string WithoutObjectPrefix(std::string_view path) {
  if (path.substr(0, 4) == "\\??\\") {
    path.remove_prefix(4);
  }
  return std::string(path);
}

}  // namespace

BootRenameList ReadPendingFileRenames(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  BootRenameList list;
  if (type != win::REG_MULTI_SZ) {
    list.passedOver.push_back("PendingFileRenameOperations is of type " + std::to_string(type) +
                              ", not REG_MULTI_SZ: nothing in it is renamed");
    return list;
  }
  // The strings to the end of the data: the last may lack its zero, and the empty string that
  // ends the list may be missing.
  std::vector<std::string> strings;
  std::string current;
  for (std::uint8_t byte : data) {
    if (byte == 0) {
      strings.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(byte);
    }
  }
  if (!current.empty()) {
    strings.push_back(current);
  }
  if (!strings.empty() && strings.back().empty()) {
    strings.pop_back();
  } else if (!strings.empty()) {
    list.passedOver.push_back(
        "PendingFileRenameOperations lacks the empty string that ends it: "
        "read to the end of its data");
  }
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    std::string_view target = strings[i + 1];
    bool replace = !target.empty() && target.front() == '!';
    if (replace) {
      target.remove_prefix(1);
    }
    if (strings[i].empty()) {
      list.passedOver.push_back("a pending rename without a source (target \"" +
                                std::string(target) + "\"): passed over");
      continue;
    }
    list.renames.push_back(
        BootRename{WithoutObjectPrefix(strings[i]), WithoutObjectPrefix(target), replace});
  }
  if (strings.size() % 2 != 0) {
    list.passedOver.push_back("PendingFileRenameOperations ends with \"" + strings.back() +
                              "\" without a target: passed over");
  }
  return list;
}

BootRenameList ReadWininit(std::string_view text) {
  BootRenameList list;
  bool inRename = false;
  std::size_t number = 0;
  for (std::string_view raw : SplitViews(text, '\n')) {
    ++number;
    if (!raw.empty() && raw.back() == '\r') {
      raw.remove_suffix(1);
    }
    if (raw.size() >= kWininitLineCapacity) {
      if (inRename) {
        list.passedOver.push_back("WININIT.INI line " + std::to_string(number) +
                                  " is longer than " + std::to_string(kWininitLineCapacity - 1) +
                                  " characters: passed over");
      }
      continue;
    }
    std::string_view body = TrimBlanks(raw);
    if (body.empty() || body[0] == ';') {
      continue;
    }
    if (body[0] == '[') {
      inRename = StartsWithNoCase(body, "[rename]");
      continue;
    }
    if (!inRename) {
      continue;
    }
    std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) {
      list.passedOver.push_back("WININIT.INI line " + std::to_string(number) + " \"" +
                                std::string(body) + "\" has no \"=\": passed over");
      continue;
    }
    std::string target(TrimBlanks(body.substr(0, equals)));
    std::string source(TrimBlanks(body.substr(equals + 1)));
    list.renames.push_back(BootRename{source, EqualsNoCase(target, "NUL") ? "" : target, true});
  }
  return list;
}

}  // namespace sim
