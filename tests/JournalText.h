// The simulated machine's journal as text, for the tests' assertions.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"

namespace testsupport {

// The texts of one category ("file", "registry", "ui"...), in order.
inline std::vector<std::string> JournalTexts(const sim::SimMachine& machine,
                                             const std::string& category) {
  std::vector<std::string> texts;
  for (const sim::JournalEntry& entry : machine.Journal()) {
    if (entry.category == category) {
      texts.push_back(entry.text);
    }
  }
  return texts;
}

// The entries as "category text", of one category or, with none, of every category.
inline std::vector<std::string> JournalLines(const sim::SimMachine& machine,
                                             const std::string& category = "") {
  std::vector<std::string> lines;
  for (const sim::JournalEntry& entry : machine.Journal()) {
    if (category.empty() || entry.category == category) {
      lines.push_back(entry.category + " " + entry.text);
    }
  }
  return lines;
}

// How many entries hold `text` anywhere.
inline int JournalCount(const sim::SimMachine& machine, const std::string& text) {
  int count = 0;
  for (const sim::JournalEntry& entry : machine.Journal()) {
    count += entry.text.find(text) != std::string::npos ? 1 : 0;
  }
  return count;
}

}  // namespace testsupport
