#include "platform/sim/SimProfiles.h"

#include <algorithm>

#include "platform/WinConstants.h"
#include "platform/sim/CodePage.h"
#include "platform/sim/Text.h"

namespace sim {

SimProfiles::SimProfiles(SimCore& core, SimFileSystem& files) : core_(core), files_(files) {}

std::string SimProfiles::Locate(const std::string& file) const {
  if (file.find_first_of("\\/") == std::string::npos && !(file.size() >= 2 && file[1] == ':')) {
    return files_.FullPath(files_.WindowsFolder() + "\\" + file);
  }
  return files_.FullPath(file);
}

namespace {

// Windows 9x reads a profile file into one 64 KB segment, and moves a value through a buffer
// of 32 KB less the two bytes it keeps for itself.
constexpr std::size_t kNineXFileLimit = 64 * 1024;
constexpr std::size_t kNineXValueLimit = 32 * 1024 - 2;

bool StartsWithUtf16Mark(const FileNode& node) {
  return node.data.size() >= 2 && node.data[0] == 0xFF && node.data[1] == 0xFE;
}

}  // namespace

SimProfiles::Cached* SimProfiles::Load(const std::string& fullPath) {
  const FileNode* node = fullPath.empty() ? nullptr : files_.Find(fullPath);
  std::string key = Upper(fullPath);
  if (node == nullptr || node->isFolder) {
    cache_.erase(key);
    return nullptr;
  }
  Cached& cached = cache_[key];
  if (cached.node != node || cached.generation != node->generation || !cached.document) {
    const auto* bytes = node->data.data();
    std::size_t size = node->data.size();
    cached.unicode = core_.IsNt() && StartsWithUtf16Mark(*node);
    cached.cut = !core_.IsNt() && size > kNineXFileLimit;
    std::string text;
    if (cached.unicode) {
      if (size % 2 != 0) {
        core_.Record("note", fullPath +
                                 " is UTF-16 with an odd byte count: its last byte is "
                                 "not read");
      }
      text = Utf16LeToUtf8(bytes + 2, size - 2);
    } else {
      if (cached.cut) {
        core_.Record("note", fullPath +
                                 " is larger than 64 KB: Windows 9x reads only the "
                                 "first 64 KB");
      }
      text.assign(reinterpret_cast<const char*>(bytes), cached.cut ? kNineXFileLimit : size);
    }
    cached.document = std::make_unique<ProfileDocument>(text);
    cached.node = node;
    cached.generation = node->generation;
    ++parses_;
  }
  return &cached;
}

std::string SimProfiles::ToDocument(const Cached& file, const std::string& text) {
  return file.unicode ? AnsiToUtf8(text) : text;
}

std::string SimProfiles::FromDocument(const Cached& file, const std::string& text) {
  return file.unicode ? Utf8ToAnsi(text) : text;
}

std::optional<std::string> SimProfiles::Read(const std::string& section, const std::string& key,
                                             const std::string& file) {
  Cached* cached = Load(Locate(file));
  if (cached == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> value =
      cached->document->Get(ToDocument(*cached, section), ToDocument(*cached, key));
  if (value) {
    // The caller gets a C string: it ends at the first zero byte.
    value->resize(std::char_traits<char>::length(value->c_str()));
    *value = FromDocument(*cached, *value);
  }
  return value;
}

std::string SimProfiles::GetString(const std::string& section, const std::string& key,
                                   const std::string& defaultText, std::uint32_t capacity,
                                   const std::string& file) {
  if (capacity == 0 || core_.Injected(Call::GetPrivateProfileStringA)) {
    return std::string();
  }
  std::optional<std::string> value = Read(section, key, file);
  std::string text;
  if (value) {
    text = *value;
  } else {
    // The default loses its trailing blanks.
    text = defaultText;
    while (!text.empty() && text.back() == ' ') {
      text.pop_back();
    }
  }
  if (!core_.IsNt()) {
    capacity = std::min<std::uint32_t>(capacity, kNineXValueLimit + 1);
  }
  if (text.size() > capacity - 1) {
    text.resize(capacity - 1);
  }
  return text;
}

std::uint32_t SimProfiles::GetInt(const std::string& section, const std::string& key,
                                  std::int32_t defaultValue, const std::string& file) {
  if (core_.Injected(Call::GetPrivateProfileIntA)) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  std::optional<std::string> value = Read(section, key, file);
  if (!value || value->empty()) {
    return static_cast<std::uint32_t>(defaultValue);
  }
  return ProfileTextToInt(*value);
}

bool SimProfiles::WriteString(const std::string& section, const std::optional<std::string>& key,
                              const std::optional<std::string>& value, const std::string& file) {
  if (core_.Injected(Call::WritePrivateProfileStringA)) {
    return false;
  }
  bool written = Write(section, key, value, file);
  core_.PowerOffIfCut();
  return written;
}

bool SimProfiles::Write(const std::string& section, const std::optional<std::string>& key,
                        const std::optional<std::string>& value, const std::string& file) {
  if (file.empty()) {
    return core_.Fail(win::ERROR_ACCESS_DENIED);
  }
  std::string fullPath = Locate(file);
  if (fullPath.empty()) {
    return core_.Fail(win::ERROR_PATH_NOT_FOUND);
  }
  Cached* cached = Load(fullPath);
  if (cached != nullptr && cached->cut) {
    // Windows 9x rewrites what it read: it would lose the rest, and the write fails. Its profile
    // functions set no last error when they fail for size.
    core_.Record("note", fullPath + " is larger than the 64 KB Windows 9x reads: not written");
    return false;
  }
  if (!core_.IsNt() && value && value->size() > kNineXValueLimit) {
    core_.Record("note", fullPath + ": Windows 9x writes no value of 32 KB or more (" +
                             key.value_or("") + ")");
    return false;
  }
  if (cached == nullptr && (!key || !value)) {
    core_.lastError = win::ERROR_SUCCESS;  // nothing to delete in a missing file
    return true;
  }
  ProfileDocument fresh("");
  ProfileDocument& target = cached != nullptr ? *cached->document : fresh;
  std::string before = cached != nullptr ? target.Text() : std::string();
  const Cached plain;
  const Cached& as = cached != nullptr ? *cached : plain;
  if (!key) {
    target.DeleteSection(ToDocument(as, section));
  } else if (!value) {
    target.DeleteKey(ToDocument(as, section), ToDocument(as, *key));
  } else {
    target.Set(ToDocument(as, section), ToDocument(as, *key), ToDocument(as, *value));
  }
  std::string after = target.Text();
  if (cached != nullptr && after == before) {
    core_.lastError = win::ERROR_SUCCESS;
    return true;
  }
  // A Unicode file stays one: written in UTF-16 after its byte order mark.
  std::vector<std::uint8_t> bytes;
  if (as.unicode) {
    bytes = {0xFF, 0xFE};
    std::vector<std::uint8_t> units = Utf8ToUtf16Le(after);
    bytes.insert(bytes.end(), units.begin(), units.end());
  } else {
    bytes.assign(after.begin(), after.end());
  }
  // Write the new text through a stream, so that read-only files, files in use and missing
  // folders refuse the write as they do on Windows.
  {
    SimFileSystem::QuietScope quiet(files_);
    std::unique_ptr<platform::Stream> stream = files_.OpenStream(fullPath, "wb");
    if (!stream) {
      cache_.erase(Upper(fullPath));
      return false;
    }
    if (!core_.Cutting()) {
      stream->Write(bytes.data(), bytes.size());
    }
  }
  if (core_.Cutting()) {
    // The file is rewritten whole: a write the power cuts leaves a part of the new text.
    cache_.erase(Upper(fullPath));
    FileData text;
    text.assign(bytes.begin(), bytes.end());
    files_.CutWrite(files_.Find(fullPath), cached != nullptr, text);
  }
  std::string entry = "[" + section + "]";
  if (key) {
    entry += " " + *key + (value ? "=" + *value : " deleted");
  } else {
    entry += " deleted";
  }
  core_.Record("profile", fullPath + " " + entry);
  if (cached == nullptr) {
    Load(fullPath);
  } else {
    cached->generation = files_.Find(fullPath)->generation;
  }
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

}  // namespace sim
