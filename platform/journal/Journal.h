// The journal of a run: every change the program makes to the machine, in the order it made
// them, with the time since the run began. The simulated machine keeps one of its own; the
// journaling layer (JournalingPlatform.h) writes the same over any backend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/journal/JournalWords.h"

namespace journal {

// Where the lines go.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(const Line& line) = 0;
};

// The lines kept in memory, for tests.
class MemorySink : public Sink {
 public:
  void Write(const Line& line) override { lines.push_back(line); }
  std::vector<Line> lines;
};

class Journal {
 public:
  // Milliseconds since the run began.
  using Clock = std::function<std::uint64_t()>;

  Journal(Sink& sink, Clock clock) : sink_(sink), clock_(std::move(clock)) {}
  std::uint64_t Now() const { return clock_(); }
  void Record(const std::string& category, const std::string& text) {
    RecordAt(Now(), category, text);
  }
  void RecordAt(std::uint64_t timeMs, const std::string& category, const std::string& text) {
    sink_.Write(Line{timeMs, category, text});
  }

 private:
  Sink& sink_;
  Clock clock_;
};

// The real time since this was called, for the journal of a real run.
Journal::Clock ElapsedClock();

}  // namespace journal
