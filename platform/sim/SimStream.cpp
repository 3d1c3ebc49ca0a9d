// C runtime streams over simulated files, with the text-mode rules of the Microsoft runtime:
// CR LF reads as a newline, Ctrl-Z ends a text file, a newline is written as CR LF, and file
// positions count real bytes. A stream opened for update must be positioned (fseek) between a
// read and a write, and flushed or positioned between a write and a read, as C requires: where
// this is forgotten the Microsoft runtime's stream goes on as it was (a byte written after a read
// never reaches the file); the simulated one refuses the call and notes it in the journal.
#include <memory>

#include "platform/WinConstants.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

class SimStream : public platform::Stream {
 public:
  SimStream(SimCore& core, SimFileSystem& files, FileNode* node, std::string path, bool text,
            bool canRead, bool canWrite, bool append)
      : core_(core),
        files_(files),
        node_(node),
        path_(std::move(path)),
        text_(text),
        canRead_(canRead),
        canWrite_(canWrite),
        append_(append),
        own_(files.quiet_ > 0) {
    ++node_->openStreams;
  }

  ~SimStream() override {
    --node_->openStreams;
    if (written_ && files_.quiet_ == 0) {
      core_.Record("file",
                   "write " + path_ + " (" + std::to_string(node_->data.size()) + " bytes)");
    }
  }

  std::optional<std::string> GetLine(std::uint32_t capacity) override {
    if (Injected(Call::fgets) || !canRead_ || capacity == 0 ||
        !Switch(Direction::Reading, "fgets")) {
      return std::nullopt;
    }
    std::string line;
    while (line.size() + 1 < capacity) {
      int c = NextChar();
      if (c < 0) {
        break;
      }
      line += static_cast<char>(c);
      if (c == '\n') {
        break;
      }
    }
    if (line.empty() && capacity > 1) {
      return std::nullopt;
    }
    return line;
  }

  std::vector<std::uint8_t> Read(std::size_t count) override {
    std::vector<std::uint8_t> bytes;
    if (Injected(Call::fread) || !Switch(Direction::Reading, "fread")) {
      return bytes;
    }
    while (canRead_ && bytes.size() < count) {
      int c = NextChar();
      if (c < 0) {
        break;
      }
      bytes.push_back(static_cast<std::uint8_t>(c));
    }
    return bytes;
  }

  std::size_t Write(const void* data, std::size_t size) override {
    if (Injected(Call::fwrite)) {
      return 0;
    }
    // A write the power loss cuts adds only the part of its bytes that reached the disk.
    const bool cut = !own_ && core_.Cutting();
    if (!canWrite_) {
      if (cut) {
        core_.PowerOff("");
      }
      return 0;
    }
    if (!Switch(Direction::Writing, "fwrite")) {
      return 0;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (append_) {
      position_ = node_->data.size();
    }
    const std::size_t count = cut ? core_.power.KeptBytes(size, true).value_or(0) : size;
    for (std::size_t i = 0; i < count; ++i) {
      if (text_ && bytes[i] == '\n') {
        Put('\r');
      }
      Put(bytes[i]);
    }
    node_->generation = files_.NextGeneration();
    written_ = true;
    if (cut) {
      core_.PowerOff(path_ + " cut after " + std::to_string(count) + " of " + std::to_string(size) +
                     " bytes written");
    }
    return size;
  }

  bool Seek(std::int64_t offset, platform::SeekOrigin origin) override {
    if (Injected(Call::fseek)) {
      return false;
    }
    std::int64_t base = origin == platform::SeekOrigin::Begin ? 0
                        : origin == platform::SeekOrigin::Current
                            ? static_cast<std::int64_t>(position_)
                            : static_cast<std::int64_t>(node_->data.size());
    if (base + offset < 0) {
      return false;
    }
    position_ = static_cast<std::size_t>(base + offset);
    atEnd_ = false;
    direction_ = Direction::Either;
    return true;
  }

  std::int64_t Tell() override { return static_cast<std::int64_t>(position_); }

  bool Flush() override {
    if (Injected(Call::fflush)) {
      return false;
    }
    // Flushing ends writing; after a read only a seek may start writing.
    if (direction_ == Direction::Writing) {
      direction_ = Direction::Either;
    }
    return true;
  }

 private:
  enum class Direction { Either, Reading, Writing };

  bool Injected(Call call) { return !own_ && core_.Injected(call); }

  // Whether the stream may go on in this direction; a read that reached the end of the file
  // may be followed by a write.
  bool Switch(Direction wanted, const char* call) {
    bool refused =
        (wanted == Direction::Writing && direction_ == Direction::Reading && !readToEnd_) ||
        (wanted == Direction::Reading && direction_ == Direction::Writing);
    if (refused) {
      core_.Record("note", std::string(call) + " on " + path_ + " right after " +
                               (wanted == Direction::Writing ? "a read without fseek"
                                                             : "a write without fflush or fseek") +
                               ": refused, the stream is in error");
      return false;
    }
    direction_ = wanted;
    readToEnd_ = false;
    return true;
  }

  // The next character as the stream's mode reads it; -1 at the end.
  int NextChar() {
    const auto& data = node_->data;
    if (atEnd_ || position_ >= data.size()) {
      readToEnd_ = true;
      return -1;
    }
    std::uint8_t c = data[position_];
    if (text_) {
      if (c == 0x1A) {  // Ctrl-Z ends a text file
        atEnd_ = true;
        return -1;
      }
      if (c == '\r' && position_ + 1 < data.size() && data[position_ + 1] == '\n') {
        position_ += 2;
        return '\n';
      }
    }
    ++position_;
    return c;
  }

  void Put(std::uint8_t c) {
    std::vector<std::uint8_t>& data = node_->data.Mutable();
    if (position_ > data.size()) {
      data.resize(position_, 0);
    }
    if (position_ == data.size()) {
      data.push_back(c);
    } else {
      data[position_] = c;
    }
    ++position_;
  }

  SimCore& core_;
  SimFileSystem& files_;
  FileNode* node_;
  std::string path_;
  bool text_;
  bool canRead_;
  bool canWrite_;
  bool append_;
  bool own_;  // opened by the machine itself, not by the program
  std::size_t position_ = 0;
  bool atEnd_ = false;
  bool written_ = false;
  Direction direction_ = Direction::Either;
  bool readToEnd_ = false;  // the last read reached the end of the file
};

std::unique_ptr<platform::Stream> SimFileSystem::OpenStream(const std::string& path,
                                                            const std::string& mode) {
  if (quiet_ == 0 && core_.Injected(Call::fopen)) {
    return nullptr;
  }
  if (mode.empty() || std::string("rwa").find(mode[0]) == std::string::npos) {
    core_.lastError = win::ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  bool update = mode.find('+') != std::string::npos;
  bool text = mode.find('b') == std::string::npos;
  bool reading = mode[0] == 'r' || update;
  bool writing = mode[0] != 'r' || update;
  Target file(path, Need::Any);
  if (!Resolve({&file})) {
    return nullptr;
  }
  const Parsed& parsed = file.parsed;
  FileNode* node = file.node;
  if (node != nullptr && node->isFolder) {
    core_.lastError = win::ERROR_ACCESS_DENIED;
    return nullptr;
  }
  if (node == nullptr && mode[0] == 'r') {
    core_.lastError = file.error;
    return nullptr;
  }
  if (writing) {
    if (!Writable(parsed) ||
        (node != nullptr && (node->attributes & win::FILE_ATTRIBUTE_READONLY))) {
      core_.lastError = win::ERROR_ACCESS_DENIED;
      return nullptr;
    }
    if (node != nullptr && InUse(node)) {
      core_.lastError = win::ERROR_SHARING_VIOLATION;
      return nullptr;
    }
    if (node == nullptr) {
      std::uint32_t error = 0;
      FileNode* folder = LocateParent(parsed, error);
      if (folder == nullptr) {
        core_.lastError = error;
        return nullptr;
      }
      node = AddChild(folder, parsed.parts.back(), false);
      if (quiet_ == 0) {
        core_.Record("file", "create " + PathOf(node));
      }
    }
    if (mode[0] == 'w' && !node->data.empty()) {
      node->data.clear();
      node->generation = NextGeneration();
    }
  }
  core_.lastError = win::ERROR_SUCCESS;
  return std::make_unique<SimStream>(core_, *this, node, PathOf(node), text, reading, writing,
                                     mode[0] == 'a');
}

}  // namespace sim
