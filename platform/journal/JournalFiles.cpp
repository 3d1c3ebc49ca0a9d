#include "platform/WinConstants.h"
#include "platform/journal/JournalingPlatform.h"

namespace journal {

namespace {

// The attributes a file keeps; the others describe it (a folder, a normal file).
constexpr std::uint32_t kStoredAttributes =
    win::FILE_ATTRIBUTE_READONLY | win::FILE_ATTRIBUTE_HIDDEN | win::FILE_ATTRIBUTE_SYSTEM |
    win::FILE_ATTRIBUTE_ARCHIVE;

bool NotFound(std::uint32_t error) {
  return error == win::ERROR_FILE_NOT_FOUND || error == win::ERROR_PATH_NOT_FOUND;
}

// A stream that was written to says so when it is closed, with the file's size then.
class JournalStream : public platform::Stream {
 public:
  JournalStream(std::unique_ptr<platform::Stream> below, Journal& journal, std::string path)
      : below_(std::move(below)), journal_(journal), path_(std::move(path)) {}
  ~JournalStream() override {
    if (written_ && below_->Seek(0, platform::SeekOrigin::End)) {
      journal_.Record("file", "write " + path_ + " (" + std::to_string(below_->Tell()) + " bytes)");
    }
  }
  JournalStream(const JournalStream&) = delete;
  JournalStream& operator=(const JournalStream&) = delete;

  std::optional<std::string> GetLine(std::uint32_t capacity) override {
    return below_->GetLine(capacity);
  }
  std::vector<std::uint8_t> Read(std::size_t count) override { return below_->Read(count); }
  std::size_t Write(const void* data, std::size_t size) override {
    written_ = true;
    return below_->Write(data, size);
  }
  bool Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    return below_->Seek(offset, origin);
  }
  std::int64_t Tell() override { return below_->Tell(); }
  bool Flush() override { return below_->Flush(); }

 private:
  std::unique_ptr<platform::Stream> below_;
  Journal& journal_;
  std::string path_;
  bool written_ = false;
};

}  // namespace

bool JournalFiles::CopyFile(const std::string& source, const std::string& target,
                            bool failIfExists) {
  const std::string from = below_.FullPath(source);
  const std::string to = below_.FullPath(target);
  if (!below_.platform.files.CopyFile(source, target, failIfExists)) {
    below_.Failed("CopyFileA", from + " -> " + to, below_.platform.system.GetLastError());
    return false;
  }
  below_.journal.Record("file", "copy " + from + " -> " + to);
  return true;
}

bool JournalFiles::DeleteFile(const std::string& path) {
  const std::string full = below_.FullPath(path);
  if (!below_.platform.files.DeleteFile(path)) {
    std::uint32_t error = below_.platform.system.GetLastError();
    if (!NotFound(error)) {
      below_.Failed("DeleteFileA", full, error);
    }
    return false;
  }
  below_.journal.Record("file", "delete " + full);
  return true;
}

bool JournalFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::string full = below_.FullPath(path);
  const std::uint32_t before = below_.platform.files.GetAttributes(path);
  if (!below_.platform.files.SetAttributes(path, attributes)) {
    std::uint32_t error = below_.platform.system.GetLastError();
    if (!NotFound(error)) {
      below_.Failed("SetFileAttributesA", full, error);
    }
    return false;
  }
  const std::uint32_t stored = attributes & kStoredAttributes;
  if (before == win::INVALID_FILE_ATTRIBUTES || (before & kStoredAttributes) != stored) {
    below_.journal.Record("file", "attributes " + full + " = " + std::to_string(stored));
  }
  return true;
}

std::uint32_t JournalFiles::GetAttributes(const std::string& path) {
  return below_.platform.files.GetAttributes(path);
}

bool JournalFiles::CreateFolder(const std::string& path) {
  std::string full = below_.FullPath(path);
  if (full.size() > 3 && full.back() == '\\') {
    full.pop_back();  // a folder is named without its backslash
  }
  if (!below_.platform.files.CreateFolder(path)) {
    return false;  // most often there already; the program asks afterwards
  }
  below_.journal.Record("file", "create folder " + full);
  return true;
}

bool JournalFiles::SetCurrentFolder(const std::string& path) {
  return below_.platform.files.SetCurrentFolder(path);
}

std::uint32_t JournalFiles::GetCurrentFolder(std::uint32_t capacity, std::string& result) {
  return below_.platform.files.GetCurrentFolder(capacity, result);
}

std::uint32_t JournalFiles::GetWindowsFolder(std::uint32_t capacity, std::string& result) {
  return below_.platform.files.GetWindowsFolder(capacity, result);
}

std::uint32_t JournalFiles::GetShortPath(const std::string& longPath, std::uint32_t capacity,
                                         std::string& result) {
  return below_.platform.files.GetShortPath(longPath, capacity, result);
}

std::uint32_t JournalFiles::GetFullPath(const std::string& path, std::uint32_t capacity,
                                        std::string& result) {
  return below_.platform.files.GetFullPath(path, capacity, result);
}

bool JournalFiles::MoveFile(const std::string& source, const std::optional<std::string>& target,
                            std::uint32_t flags) {
  const std::string from = below_.FullPath(source);
  const std::string to = target ? below_.FullPath(*target) : std::string();
  const bool delayed = (flags & win::MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
  if (!below_.platform.files.MoveFile(source, target, flags)) {
    below_.Failed("MoveFileExA", from + (target ? " -> " + to : std::string()),
                  below_.platform.system.GetLastError());
    return false;
  }
  if (!delayed) {
    below_.journal.Record("file", "move " + from + " -> " + to);
  } else if (target) {
    below_.journal.Record("file", "move at next start " + from + " -> " + to);
  } else {
    below_.journal.Record("file", "delete at next start " + from);
  }
  return true;
}

platform::FindHandle JournalFiles::FindFirst(const std::string& pattern,
                                             platform::FindData& result) {
  return below_.platform.files.FindFirst(pattern, result);
}

bool JournalFiles::FindNext(platform::FindHandle handle, platform::FindData& result) {
  return below_.platform.files.FindNext(handle, result);
}

void JournalFiles::FindClose(platform::FindHandle handle) {
  below_.platform.files.FindClose(handle);
}

std::unique_ptr<platform::Stream> JournalFiles::OpenStream(const std::string& path,
                                                           const std::string& mode) {
  const std::string full = below_.FullPath(path);
  // "w" and "a" create a file that is not there.
  const bool creates = !mode.empty() && (mode[0] == 'w' || mode[0] == 'a') &&
                       below_.platform.files.GetAttributes(path) == win::INVALID_FILE_ATTRIBUTES;
  std::unique_ptr<platform::Stream> stream = below_.platform.files.OpenStream(path, mode);
  if (!stream) {
    return stream;
  }
  if (creates) {
    below_.journal.Record("file", "create " + full);
  }
  return std::make_unique<JournalStream>(std::move(stream), below_.journal, full);
}

}  // namespace journal
