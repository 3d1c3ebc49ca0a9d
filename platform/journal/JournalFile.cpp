#include "platform/journal/JournalFile.h"

#include <chrono>

namespace journal {

Journal::Clock ElapsedClock() {
  const auto start = std::chrono::steady_clock::now();
  return [start]() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - start)
                                          .count());
  };
}

FileSink::FileSink(const std::string& path) {
  if (!path.empty()) {
    // Text mode: the lines end as the system's text files do.
    file_ = std::fopen(path.c_str(), "w");
  }
}

FileSink::~FileSink() {
  if (file_ != nullptr) {
    std::fclose(file_);
  }
}

void FileSink::Write(const Line& line) {
  if (file_ == nullptr) {
    return;
  }
  std::fputs(FormatLine(line).c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace journal
