#include "tests/differential/WineView.h"

#include <algorithm>
#include <set>

#include "platform/sim/CodePage.h"

namespace differential {

namespace {

bool Blank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && Blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && Blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return lower;
}

bool Has(const std::vector<WineShape>& shapes, WineShape shape) {
  return std::find(shapes.begin(), shapes.end(), shape) != shapes.end();
}

// One header line as Wine reads it; the line itself when Wine reads it as Windows does.
std::string RewriteLine(std::string_view line, const std::vector<WineShape>& shapes) {
  std::string_view body = Trim(line);
  if (body.empty() || body.front() != '[') {
    return std::string(line);
  }
  std::size_t first = body.find(']');
  std::size_t last = body.rfind(']');
  if (first == std::string_view::npos) {
    // A line of the section before; no query asks for a key that starts with "[", so a
    // comment stands for it.
    return Has(shapes, WineShape::HeaderWithoutClosingBracket) ? ";" + std::string(line)
                                                               : std::string(line);
  }
  if (first != last && Has(shapes, WineShape::HeaderWithTwoClosingBrackets)) {
    // The name runs to the last "]"; the brackets inside it become a character no query holds,
    // so that the header still ends the section before it but answers no query.
    std::string name(body.substr(1, last - 1));
    std::replace(name.begin(), name.end(), ']', '\x7f');
    return "[" + name + "]";
  }
  return std::string(line);
}

struct Line {
  std::string text;
  std::string_view ending;
};

// Entries that follow a line holding their name alone, in the same section, as comments.
void HideShadowedEntries(std::vector<Line>& lines) {
  std::set<std::string> bare;
  for (Line& line : lines) {
    std::string_view body = Trim(line.text);
    if (body.empty() || body.front() == ';') {
      continue;
    }
    if (body.front() == '[') {
      bare.clear();
      continue;
    }
    std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) {
      bare.insert(Lower(body));
    } else if (bare.count(Lower(Trim(body.substr(0, equals)))) != 0) {
      line.text = ";" + line.text;
    }
  }
}

// An entry whose quoted value holds `capacity` - 1 characters loses the last of them.
void CutQuotedValue(std::string& line, std::uint32_t capacity) {
  std::string_view body = Trim(line);
  std::size_t equals = body.find('=');
  if (body.empty() || body.front() == ';' || body.front() == '[' ||
      equals == std::string_view::npos) {
    return;
  }
  std::string_view value = Trim(body.substr(equals + 1));
  if (value.size() < 3 || (value.front() != '"' && value.front() != '\'') ||
      value.back() != value.front() || value.size() - 2 != capacity - 1) {
    return;
  }
  std::string cut(value.substr(0, value.size() - 2));
  cut += value.front();
  line = std::string(body.substr(0, equals + 1)) + cut;
}

// UTF-8 text in the ANSI code page; a byte that starts no UTF-8 sequence is taken as ANSI
// already (what the simulation wrote into such a file with an ANSI call, which Wine would have
// written in UTF-8).
std::string Utf8OrAnsiToAnsi(std::string_view text) {
  std::string ansi;
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    bool sequence = length > 1 && i + length <= text.size();
    for (std::size_t k = 1; sequence && k < length; ++k) {
      sequence = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
    }
    if (sequence) {
      ansi += sim::Utf8ToAnsi(text.substr(i, length));
      i += length;
    } else {
      ansi += text[i++];
    }
  }
  return ansi;
}

}  // namespace

const std::vector<WineShape>& AllWineShapes() {
  static const std::vector<WineShape> shapes = {
      WineShape::KeysBeforeFirstHeader,        WineShape::HeaderWithoutClosingBracket,
      WineShape::HeaderWithTwoClosingBrackets, WineShape::NameWithoutValue,
      WineShape::QuotedValueFillingTheBuffer,  WineShape::Utf8ByteOrderMark};
  return shapes;
}

const char* ShapeName(WineShape shape) {
  switch (shape) {
    case WineShape::KeysBeforeFirstHeader:
      return "keys before the first section header";
    case WineShape::HeaderWithoutClosingBracket:
      return "a header without its closing bracket";
    case WineShape::HeaderWithTwoClosingBrackets:
      return "a header with two closing brackets";
    case WineShape::NameWithoutValue:
      return "a name alone on a line before an entry of that name";
    case WineShape::QuotedValueFillingTheBuffer:
      return "a quoted value that exactly fills the buffer";
    case WineShape::Utf8ByteOrderMark:
      return "a UTF-8 byte order mark";
  }
  return "?";
}

std::string WineView(std::string_view text, const std::vector<WineShape>& shapes,
                     std::uint32_t capacity) {
  std::string decoded;
  if (text.substr(0, 2) == "\xFF\xFE") {
    decoded = sim::Utf8ToAnsi(sim::Utf16LeToUtf8(
        reinterpret_cast<const std::uint8_t*>(text.data()) + 2, text.size() - 2));
    text = decoded;
  } else if (text.substr(0, 3) == "\xEF\xBB\xBF" && Has(shapes, WineShape::Utf8ByteOrderMark)) {
    decoded = Utf8OrAnsiToAnsi(text.substr(3));
    text = decoded;
  }
  std::vector<Line> lines;
  if (Has(shapes, WineShape::KeysBeforeFirstHeader)) {
    // Wine's nameless first section, spelt as Windows would read it.
    lines.push_back({"[]", "\r\n"});
  }
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::size_t next = end;
    if (next < text.size()) {
      next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    }
    lines.push_back(
        {RewriteLine(text.substr(start, end - start), shapes), text.substr(end, next - end)});
    start = next;
  }
  if (Has(shapes, WineShape::NameWithoutValue)) {
    HideShadowedEntries(lines);
  }
  if (Has(shapes, WineShape::QuotedValueFillingTheBuffer) && capacity >= 2) {
    for (Line& line : lines) {
      CutQuotedValue(line.text, capacity);
    }
  }
  std::string view;
  for (const Line& line : lines) {
    view += line.text;
    view += line.ending;
  }
  return view;
}

}  // namespace differential
