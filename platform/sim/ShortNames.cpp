// 8.3 names and wildcard matching, as the FAT and NTFS file systems of Windows apply them.
#include <string>

#include "platform/sim/SimFileSystem.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

bool ShortNameChar(unsigned char c) {
  if (c >= 0x80) {
    return true;
  }
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
    return true;
  }
  return std::string_view("!#$%&'()-@^_`{}~").find(static_cast<char>(c)) != std::string_view::npos;
}

bool Match(std::string_view pattern, std::string_view name) {
  // Iterative matcher with back-tracking to the last "*".
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || EqualsNoCase(pattern.substr(p, 1), name.substr(n, 1)))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') {
    ++p;
  }
  return p == pattern.size();
}

}  // namespace

bool IsShortName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") {
    return false;
  }
  std::size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 ||
      (dot != std::string_view::npos && ext.empty())) {
    return false;
  }
  for (std::string_view part : {base, ext}) {
    for (char c : part) {
      if (!ShortNameChar(static_cast<unsigned char>(c))) {
        return false;
      }
    }
  }
  return true;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  if (pattern == "*.*" || pattern == "*") {
    return true;
  }
  return Match(pattern, name);
}

void SimFileSystem::AssignShortName(FileNode* folder, FileNode* node) const {
  node->SetShortName("");
  if (IsShortName(node->name)) {
    // FAT on Windows 9x keeps an upper-case short entry; NTFS gives such names no short name.
    if (!core_.IsNt() && Upper(node->name) != node->name) {
      node->SetShortName(Upper(node->name));
    }
    return;
  }
  // Upper case, no blanks, no dots but the last, characters FAT refuses made "_".
  std::string upper = Upper(node->name);
  std::size_t lastDot = upper.rfind('.');
  if (lastDot == 0) {
    lastDot = std::string::npos;
  }
  std::string base;
  std::string ext;
  for (std::size_t i = 0; i < upper.size(); ++i) {
    char c = upper[i];
    if (c == ' ' || (c == '.' && i != lastDot)) {
      continue;
    }
    if (i == lastDot) {
      continue;
    }
    char kept = ShortNameChar(static_cast<unsigned char>(c)) ? c : '_';
    (lastDot != std::string::npos && i > lastDot ? ext : base) += kept;
  }
  if (base.empty()) {
    base = "_";
  }
  ext = ext.substr(0, 3);
  auto taken = [folder, node](const std::string& candidate) {
    FileNode* holder = folder->Child(candidate);
    return holder != nullptr && holder != node;
  };
  // The first six characters and the extension make every candidate.
  const std::string stem = base.substr(0, 6) + "." + ext;
  auto hint = folder->shortNameTails.find(stem);
  for (unsigned number = hint == folder->shortNameTails.end() ? 1 : hint->second;; ++number) {
    std::string tail = "~" + std::to_string(number);
    std::string candidate = base.substr(0, 8 - tail.size()) + tail + (ext.empty() ? "" : "." + ext);
    if (!taken(candidate)) {
      node->SetShortName(candidate);
      folder->shortNameTails[stem] = number + 1;
      return;
    }
  }
}

FileNode* SimFileSystem::FindByShortNames(const std::string& path, bool parent) const {
  Parsed parsed = Parse(path);
  if (parsed.error != 0 || IsUncPath(parsed.root) || parsed.parts.empty()) {
    return nullptr;
  }
  std::uint32_t error = 0;
  FileNode* node = Root(parsed.root, error);
  std::size_t walked = parent ? parsed.parts.size() - 1 : parsed.parts.size();
  for (std::size_t i = 0; i < parsed.parts.size(); ++i) {
    const std::string& part = parsed.parts[i];
    if (!IsShortName(part)) {
      return nullptr;
    }
    if (i == walked) {
      break;
    }
    FileNode* child = node != nullptr && node->isFolder ? node->Child(part) : nullptr;
    // The name must be the 8.3 one: a long name that happens to fit names nothing in real mode.
    if (child == nullptr ||
        !EqualsNoCase(child->shortName.empty() ? child->name : child->shortName, part)) {
      return nullptr;
    }
    node = child;
  }
  return node != nullptr && (!parent || node->isFolder) ? node : nullptr;
}

}  // namespace sim
