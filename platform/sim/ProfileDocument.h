// One profile (INI) file, parsed once, read and changed with the rules of the Windows profile
// functions:
// - section and key names compare ignoring case; blanks around names and values do not count;
// - a value enclosed in a pair of double or single quotation marks loses them when read;
// - the first of duplicate keys wins, and only the first of duplicate sections is searched;
// - a line without "=" is no key; a line starting with ";" is a comment;
// - writing an existing key replaces only its value; a new key goes after the last line of its
//   section, a new section at the end of the file; written lines end in CR LF;
// - every other byte of the file, line ends included (CR LF, LF or CR), stays as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class ProfileDocument {
 public:
  explicit ProfileDocument(std::string_view text);

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Every entry of the first section with this name, in file order, values read as Get reads them.
  std::vector<std::pair<std::string, std::string>> Entries(std::string_view section) const;
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void DeleteSection(std::string_view section);
  std::string Text() const;

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string text;    // without its line end
    std::string ending;  // "\r\n", "\n", "\r" or "" (the last line of a file without one)
    Kind kind = Kind::Other;
    std::string name;            // section or key name, trimmed
    std::size_t valueStart = 0;  // entries: where the value begins in `text`
  };

  static Line Classify(std::string text, std::string ending);
  // Index of the first section header with this name; npos when there is none.
  std::size_t FindSection(std::string_view section) const;
  // One past the last line of the section starting at `header`.
  std::size_t SectionEnd(std::size_t header) const;
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  void EnsureFinalLineEnd();

  std::vector<Line> lines_;
};

// GetPrivateProfileIntA's conversion of a value: optional blanks, an optional sign, a "0x" (hex),
// "0o" (octal) or "0b" (binary) prefix in lower case, then digits up to the first other
// character; wraps around on overflow like the 32-bit arithmetic of Windows.
std::uint32_t ProfileTextToInt(std::string_view text);

}  // namespace sim
