#include "platform/sim/FileData.h"

#include <cstring>
#include <fstream>

namespace sim {

namespace {

// Exactly `size` bytes, and nothing after them.
bool ReadExactly(const std::filesystem::path& path, std::uintmax_t size,
                 std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.resize(static_cast<std::size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  return in && in.peek() == std::ifstream::traits_type::eof();
}

}  // namespace

FileData FileData::FromHost(std::filesystem::path host, std::uintmax_t size,
                            std::filesystem::file_time_type written) {
  FileData data;
  data.bytes_->host = std::make_unique<HostSource>(HostSource{std::move(host), size, written});
  return data;
}

const std::vector<std::uint8_t>& FileData::Loaded() const {
  Bytes& shared = *bytes_;
  if (shared.host) {
    const HostSource& source = *shared.host;
    std::error_code code;
    if (std::filesystem::last_write_time(source.path, code) != source.written || code ||
        !ReadExactly(source.path, source.size, shared.bytes)) {
      shared.bytes.clear();
      throw HostFileLost("cannot read " + source.path.string() +
                         ": it went away or changed after it was mapped");
    }
    shared.host.reset();
  }
  return shared.bytes;
}

std::vector<std::uint8_t>& FileData::Mutable() {
  Loaded();
  if (bytes_.use_count() > 1) {
    auto own = std::make_shared<Bytes>();
    own->bytes = bytes_->bytes;
    bytes_ = std::move(own);
  }
  bytes_->fingerprint.reset();  // the caller changes them
  return bytes_->bytes;
}

std::uint64_t FileData::Fingerprint() const {
  Bytes& shared = *bytes_;
  if (!shared.fingerprint) {
    // FNV-1a's constants, over eight bytes at a time, each step's high bits folded down.
    const std::vector<std::uint8_t>& bytes = Loaded();
    std::uint64_t hash = 14695981039346656037ull ^ bytes.size();
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, bytes.data() + at, 8);
      hash = (hash ^ word) * 1099511628211ull;
      hash ^= hash >> 29;
    }
    for (; at < bytes.size(); ++at) {
      hash = (hash ^ bytes[at]) * 1099511628211ull;
    }
    shared.fingerprint = hash;
  }
  return *shared.fingerprint;
}

bool FileData::operator==(const FileData& other) const {
  return bytes_ == other.bytes_ || (size() == other.size() && Loaded() == other.Loaded());
}

}  // namespace sim
