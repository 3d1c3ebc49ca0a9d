// A simulated file's bytes: shared between copies until one of them is changed (copy on write),
// and, for a file mapped from a host folder, read from the host only when something first reads
// them. Copying a large file costs nothing until a program writes to one of the copies, and a
// disc mapped into many machines is read once, and only as far as the runs read it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

// A host file mapped into a machine could not be read when its bytes were first needed, or no
// longer has the size and time it had when it was mapped: the run cannot go on as if it had.
class HostFileLost : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class FileData {
 public:
  FileData() : bytes_(std::make_shared<Bytes>()) {}
  // The bytes of a host file, read on first use; `size` and `written` are the file's when it
  // was mapped, and the read fails with HostFileLost when they have changed since.
  static FileData FromHost(std::filesystem::path host, std::uintmax_t size,
                           std::filesystem::file_time_type written);

  std::vector<std::uint8_t>::const_iterator begin() const { return Loaded().cbegin(); }
  std::vector<std::uint8_t>::const_iterator end() const { return Loaded().cend(); }
  // Known without reading a host file.
  std::size_t size() const { return bytes_->host ? bytes_->host->size : bytes_->bytes.size(); }
  bool empty() const { return size() == 0; }
  std::uint8_t operator[](std::size_t index) const { return Loaded()[index]; }
  const std::uint8_t* data() const { return Loaded().data(); }
  template <class Iterator>
  void assign(Iterator first, Iterator last) {
    bytes_ = std::make_shared<Bytes>();
    bytes_->bytes.assign(first, last);
  }
  void clear() { bytes_ = std::make_shared<Bytes>(); }
  // The bytes to change, this file's own from now on.
  std::vector<std::uint8_t>& Mutable();
  // Equal bytes; a copy that neither side has changed compares without reading anything.
  bool operator==(const FileData& other) const;
  // A number that differs, all but certainly, when the bytes differ: worked out once for the
  // bytes and every unchanged copy of them.
  std::uint64_t Fingerprint() const;

 private:
  struct HostSource {
    std::filesystem::path path;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written;
  };
  struct Bytes {
    std::vector<std::uint8_t> bytes;
    std::unique_ptr<HostSource> host;  // set until the bytes are read
    std::optional<std::uint64_t> fingerprint;
  };
  const std::vector<std::uint8_t>& Loaded() const;

  std::shared_ptr<Bytes> bytes_;
};

}  // namespace sim
