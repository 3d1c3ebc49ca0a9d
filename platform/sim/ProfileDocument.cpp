#include "platform/sim/ProfileDocument.h"

#include <cstdint>

#include "platform/sim/Text.h"

namespace sim {

namespace {

std::string_view Trim(std::string_view text) {
  // The profile functions treat every control character and blank as white space.
  std::size_t begin = 0;
  std::size_t end = text.size();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (begin < end && blank(text[begin])) {
    ++begin;
  }
  while (end > begin && blank(text[end - 1])) {
    --end;
  }
  return text.substr(begin, end - begin);
}

}  // namespace

ProfileDocument::Line ProfileDocument::Classify(std::string text, std::string ending) {
  Line line;
  line.text = std::move(text);
  line.ending = std::move(ending);
  std::string_view body = Trim(line.text);
  if (body.empty() || body[0] == ';') {
    return line;
  }
  if (body[0] == '[') {
    std::size_t close = body.find(']');
    line.kind = Kind::Section;
    line.name = Trim(body.substr(1, close == std::string_view::npos ? close : close - 1));
    return line;
  }
  std::size_t equals = line.text.find('=');
  if (equals == std::string::npos) {
    return line;
  }
  line.kind = Kind::Entry;
  line.name = Trim(std::string_view(line.text).substr(0, equals));
  std::size_t start = equals + 1;
  while (start < line.text.size() && static_cast<unsigned char>(line.text[start]) <= ' ') {
    ++start;
  }
  line.valueStart = start;
  return line;
}

ProfileDocument::ProfileDocument(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines_.push_back(Classify(std::string(text.substr(start)), ""));
      break;
    }
    std::size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') {
      ++next;
    }
    lines_.push_back(Classify(std::string(text.substr(start, end - start)),
                              std::string(text.substr(end, next - end))));
    start = next;
  }
}

std::size_t ProfileDocument::FindSection(std::string_view section) const {
  std::string_view wanted = Trim(section);
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && EqualsNoCase(lines_[i].name, wanted)) {
      return i;
    }
  }
  return std::string::npos;
}

std::size_t ProfileDocument::SectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) {
    ++i;
  }
  return i;
}

std::size_t ProfileDocument::FindKey(std::size_t header, std::string_view key) const {
  std::string_view wanted = Trim(key);
  std::size_t end = SectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && EqualsNoCase(lines_[i].name, wanted)) {
      return i;
    }
  }
  return std::string::npos;
}

std::vector<std::pair<std::string, std::string>> ProfileDocument::Entries(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    return entries;
  }
  for (std::size_t i = header + 1; i < SectionEnd(header); ++i) {
    if (lines_[i].kind == Kind::Entry) {
      entries.emplace_back(lines_[i].name, Get(section, lines_[i].name).value_or(""));
    }
  }
  return entries;
}

std::optional<std::string> ProfileDocument::Get(std::string_view section,
                                                std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    return std::nullopt;
  }
  std::size_t index = FindKey(header, key);
  if (index == std::string::npos) {
    return std::nullopt;
  }
  const Line& line = lines_[index];
  std::string_view value = Trim(std::string_view(line.text).substr(line.valueStart));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

void ProfileDocument::EnsureFinalLineEnd() {
  if (!lines_.empty() && lines_.back().ending.empty()) {
    lines_.back().ending = "\r\n";
  }
}

void ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string trimmedValue(Trim(value));
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    EnsureFinalLineEnd();
    lines_.push_back(Classify("[" + std::string(Trim(section)) + "]", "\r\n"));
    lines_.push_back(Classify(std::string(Trim(key)) + "=" + trimmedValue, "\r\n"));
    return;
  }
  std::size_t index = FindKey(header, key);
  if (index != std::string::npos) {
    Line& line = lines_[index];
    lines_[index] = Classify(line.text.substr(0, line.valueStart) + trimmedValue, line.ending);
    return;
  }
  // After the last non-blank line of the section, so that a blank line before the next section
  // keeps separating them.
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < SectionEnd(header); ++i) {
    if (!Trim(lines_[i].text).empty()) {
      insertAt = i + 1;
    }
  }
  if (insertAt == lines_.size()) {
    EnsureFinalLineEnd();
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                Classify(std::string(Trim(key)) + "=" + trimmedValue, "\r\n"));
}

void ProfileDocument::DeleteKey(std::string_view section, std::string_view key) {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    return;
  }
  std::size_t index = FindKey(header, key);
  if (index != std::string::npos) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  }
}

void ProfileDocument::DeleteSection(std::string_view section) {
  std::size_t header = FindSection(section);
  if (header == std::string::npos) {
    return;
  }
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
               lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
}

std::string ProfileDocument::Text() const {
  std::string text;
  for (const Line& line : lines_) {
    text += line.text;
    text += line.ending;
  }
  return text;
}

std::uint32_t ProfileTextToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') {
    ++i;
  }
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The prefix letters count in lower case only: "0X10" is 0, read up to the "X".
  std::uint32_t base = 10;
  if (i + 1 < text.size() && text[i] == '0') {
    char marker = text[i + 1];
    if (marker == 'x') {
      base = 16;
    } else if (marker == 'o') {
      base = 8;
    } else if (marker == 'b') {
      base = 2;
    }
    if (base != 10) {
      i += 2;
    }
  }
  std::uint32_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    std::uint32_t digit = (c >= '0' && c <= '9')   ? static_cast<std::uint32_t>(c - '0')
                          : (c >= 'a' && c <= 'f') ? static_cast<std::uint32_t>(c - 'a' + 10)
                          : (c >= 'A' && c <= 'F') ? static_cast<std::uint32_t>(c - 'A' + 10)
                                                   : 99;
    if (digit >= base) {
      break;
    }
    value = value * base + digit;
  }
  return negative ? 0u - value : value;
}

}  // namespace sim
