// What a command is doing, on one line of standard error that each step overwrites, for the
// commands that can take more than a second on a large disc or machine (run, matrix, lint,
// --save). Nothing is shown when standard error is not a terminal, so that logs and pipes get
// the report and the messages only.
#pragma once

#include <string>

namespace lab {

class Progress {
 public:
  explicit Progress(std::string command);  // "setup-sim matrix"
  ~Progress() { Clear(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Show(const std::string& step);
  // Takes the line away, before a message or a report is printed.
  void Clear();

 private:
  std::string command_;
  bool terminal_ = false;
  std::size_t shown_ = 0;  // the length of the line on the terminal
};

}  // namespace lab
