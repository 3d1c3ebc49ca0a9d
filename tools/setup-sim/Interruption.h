// Ctrl-C (SIGINT), SIGTERM and SIGHUP while the tool runs: it ends at once and takes away what it
// was writing, so that an interrupted command leaves every file as it was or whole, and no
// temporary file or folder behind. Where a folder is being written, the end waits for the next
// point at which the writer can take its folder away.
#pragma once

#include <string>

namespace lab {

// Once, at start.
void InstallInterruptHandlers();

// A temporary file being written: removed if the tool is interrupted while the guard lives.
class TemporaryFileGuard {
 public:
  explicit TemporaryFileGuard(const std::string& path);
  ~TemporaryFileGuard();
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

 private:
  int slot_;
};

// While one lives, an interruption only marks itself: the writer asks Requested() between its
// steps, takes its temporary folder away when it is, and returns; the tool then ends as
// interrupted when the hold goes, wherever it goes.
class InterruptionHold {
 public:
  InterruptionHold();
  ~InterruptionHold();
  InterruptionHold(const InterruptionHold&) = delete;
  InterruptionHold& operator=(const InterruptionHold&) = delete;

  bool Requested() const;
};

}  // namespace lab
