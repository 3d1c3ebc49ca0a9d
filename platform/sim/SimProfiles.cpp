#include "platform/sim/SimProfiles.h"

#include "platform/WinConstants.h"
#include "platform/sim/Text.h"

namespace sim {

SimProfiles::SimProfiles(SimCore& core, SimFileSystem& files) : core_(core), files_(files) {}

std::string SimProfiles::Locate(const std::string& file) const {
  if (file.find_first_of("\\/") == std::string::npos && !(file.size() >= 2 && file[1] == ':')) {
    return files_.FullPath(files_.WindowsFolder() + "\\" + file);
  }
  return files_.FullPath(file);
}

ProfileDocument* SimProfiles::Load(const std::string& fullPath) {
  const FileNode* node = fullPath.empty() ? nullptr : files_.Find(fullPath);
  std::string key = Upper(fullPath);
  if (node == nullptr || node->isFolder) {
    cache_.erase(key);
    return nullptr;
  }
  Cached& cached = cache_[key];
  if (cached.node != node || cached.generation != node->generation || !cached.document) {
    std::string_view text(reinterpret_cast<const char*>(node->data.data()), node->data.size());
    cached.document = std::make_unique<ProfileDocument>(text);
    cached.node = node;
    cached.generation = node->generation;
    ++parses_;
  }
  return cached.document.get();
}

std::optional<std::string> SimProfiles::Read(const std::string& section, const std::string& key,
                                             const std::string& file) {
  ProfileDocument* document = Load(Locate(file));
  if (document == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> value = document->Get(section, key);
  if (value) {
    // The caller gets a C string: it ends at the first zero byte.
    value->resize(std::char_traits<char>::length(value->c_str()));
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
  ProfileDocument* document = Load(fullPath);
  std::string before;
  if (document == nullptr) {
    if (!key || !value) {
      core_.lastError = win::ERROR_SUCCESS;  // nothing to delete in a missing file
      return true;
    }
  } else {
    before = document->Text();
  }
  ProfileDocument fresh(before);
  ProfileDocument& target = document != nullptr ? *document : fresh;
  if (!key) {
    target.DeleteSection(section);
  } else if (!value) {
    target.DeleteKey(section, *key);
  } else {
    target.Set(section, *key, *value);
  }
  std::string after = target.Text();
  if (document != nullptr && after == before) {
    core_.lastError = win::ERROR_SUCCESS;
    return true;
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
      stream->Write(after.data(), after.size());
    }
  }
  if (core_.Cutting()) {
    // The file is rewritten whole: a write the power cuts leaves a part of the new text.
    cache_.erase(Upper(fullPath));
    FileData text;
    text.assign(after.begin(), after.end());
    files_.CutWrite(files_.Find(fullPath), document != nullptr, text);
  }
  std::string entry = "[" + section + "]";
  if (key) {
    entry += " " + *key + (value ? "=" + *value : " deleted");
  } else {
    entry += " deleted";
  }
  core_.Record("profile", fullPath + " " + entry);
  if (document == nullptr) {
    Load(fullPath);
  } else {
    Cached& cached = cache_[Upper(fullPath)];
    cached.generation = files_.Find(fullPath)->generation;
  }
  core_.lastError = win::ERROR_SUCCESS;
  return true;
}

}  // namespace sim
