// A journal written to a file as the run goes, a line at a time, so that what was written
// stays even when the run ends abruptly.
#pragma once

#include <cstdio>
#include <string>

#include "platform/journal/Journal.h"

namespace journal {

class FileSink : public Sink {
 public:
  // Creates or empties the file; IsOpen() tells whether that worked.
  explicit FileSink(const std::string& path);
  ~FileSink() override;
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(const Line& line) override;

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace journal
