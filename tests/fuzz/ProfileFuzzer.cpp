// The profile engine reads any file, answers every question within its buffer, and a write
// changes only what it is about: the value written reads back, and writing it again changes
// nothing more.
#include <cstdlib>

#include "platform/sim/ProfileDocument.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // file \x00 section \x00 key \x00 value
  std::vector<std::string> parts = fuzz::Split(data, size, std::string_view("\0", 1), 4);
  const std::string& section = parts[1];
  const std::string& key = parts[2];
  const std::string& value = parts[3];
  sim::ProfileDocument document(parts[0]);
  document.Get(section, key);
  document.Entries(section);
  sim::ProfileTextToInt(value);
  // Every byte of the file survives being read and written back.
  if (document.Text() != parts[0]) {
    std::abort();
  }
  const bool plainNames = section.find_first_of("[]=\r\n;") == std::string::npos &&
                          key.find_first_of("[]=\r\n;") == std::string::npos &&
                          value.find_first_of("\r\n") == std::string::npos;
  document.Set(section, key, value);
  const std::string written = document.Text();
  sim::ProfileDocument reread(written);
  if (reread.Text() != written) {
    std::abort();
  }
  if (plainNames && !section.empty() && !key.empty() && reread.Get(section, key).has_value() &&
      document.Get(section, key) != reread.Get(section, key)) {
    std::abort();
  }
  reread.Set(section, key, value);
  if (plainNames && reread.Text() != written) {
    std::abort();  // a second identical write changes nothing
  }
  reread.DeleteKey(section, key);
  reread.DeleteSection(section);
  return 0;
}
