#include "tools/setup-sim/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace lab {

Progress::Progress(std::string command)
    : command_(std::move(command)), terminal_(::isatty(STDERR_FILENO) != 0) {}

void Progress::Show(const std::string& step) {
  if (!terminal_) {
    return;
  }
  std::string line = command_ + ": " + step;
  // A terminal line of 80 columns holds it without wrapping.
  if (line.size() > 79) {
    line = line.substr(0, 76) + "...";
  }
  const std::size_t width = line.size();
  line.resize(std::max(width, shown_), ' ');
  std::fprintf(stderr, "\r%s", line.c_str());
  std::fflush(stderr);
  shown_ = width;
}

void Progress::Clear() {
  if (!terminal_ || shown_ == 0) {
    return;
  }
  std::fprintf(stderr, "\r%s\r", std::string(shown_, ' ').c_str());
  std::fflush(stderr);
  shown_ = 0;
}

}  // namespace lab
