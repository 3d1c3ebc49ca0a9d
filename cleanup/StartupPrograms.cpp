#include "cleanup/StartupPrograms.h"

#include <algorithm>

namespace cleanup {

namespace {

// The maker's programs of the retirement table that earlier drivers started from "run".
constexpr const char* kMakersPrograms[] = {"OVMPU.EXE", "BANKLOAD.EXE", "INITTONE.COM"};
// "run" is read into this buffer; a value that fills it may have been cut.
constexpr std::uint32_t kRunBuffer = 4096;

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',';
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsMakersProgram(const std::string& program) {
  std::string name = program.substr(program.find_last_of("\\/:") + 1);
  std::transform(name.begin(), name.end(), name.begin(), Upper);
  return std::find(std::begin(kMakersPrograms), std::end(kMakersPrograms), name) !=
         std::end(kMakersPrograms);
}

}  // namespace

std::optional<std::string> WithoutMakersPrograms(const std::string& run) {
  std::string kept;
  std::size_t at = 0;
  while (at < run.size()) {
    const std::size_t separatorStart = at;
    while (at < run.size() && IsSeparator(run[at])) {
      ++at;
    }
    const std::string separator = run.substr(separatorStart, at - separatorStart);
    if (at == run.size()) {
      break;
    }
    const std::size_t entryStart = at;
    bool quoted = false;
    while (at < run.size() && (quoted || !IsSeparator(run[at]))) {
      quoted = run[at] == '"' ? !quoted : quoted;
      ++at;
    }
    const std::string entry = run.substr(entryStart, at - entryStart);
    const auto quotes = std::count(entry.begin(), entry.end(), '"');
    const bool quotedWhole = quotes == 2 && entry.front() == '"' && entry.back() == '"';
    if (quotes != 0 && !quotedWhole) {
      return std::nullopt;
    }
    if (!IsMakersProgram(quotedWhole ? entry.substr(1, entry.size() - 2) : entry)) {
      if (!kept.empty()) {
        kept += separator;
      }
      kept += entry;
    }
  }
  return kept;
}

void RemoveMakersStartupPrograms(platform::Profiles& profiles) {
  const std::string run = profiles.GetString("Windows", "run", "", kRunBuffer, "WIN.INI");
  if (run.size() + 1 >= kRunBuffer) {
    return;
  }
  // Reading takes a value's outer quotes off: when they were the first and last entries' own,
  // the list is whole again with them put back.
  std::string list = run;
  std::optional<std::string> kept = WithoutMakersPrograms(list);
  if (!kept) {
    list = '"' + run + '"';
    kept = WithoutMakersPrograms(list);
  }
  if (!kept || (*kept == list && !run.empty())) {
    return;
  }
  std::string value(1, ' ');
  if (kept->size() >= 2 && (kept->front() == '"' || kept->front() == '\'') &&
      kept->back() == kept->front()) {
    // Reading takes a value's outer quotes off: these belong to its entries and stay.
    value = '"' + *kept + '"';
  } else if (!kept->empty()) {
    value = *kept;
  }
  profiles.WriteString("Windows", "run", value, "WIN.INI");
}

}  // namespace cleanup
