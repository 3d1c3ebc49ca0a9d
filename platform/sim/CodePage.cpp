#include "platform/sim/CodePage.h"

#include <array>

namespace sim {

namespace {

// Windows-1252 from 80h to 9Fh; the five bytes it leaves unassigned stand for themselves, as
// Windows converts them.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void AppendUtf8(std::string& text, char32_t c) {
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

namespace {

// The code points of UTF-8 text; a malformed sequence gives U+FFFD for its first byte.
std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte < 0x80    ? 1
                         : byte >= 0xF0 ? 4
                         : byte >= 0xE0 ? 3
                         : byte >= 0xC0 ? 2
                                        : 0;
    char32_t c = length == 1   ? byte
                 : length == 2 ? byte & 0x1F
                 : length == 3 ? byte & 0x0F
                               : byte & 0x07;
    bool valid = length != 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
      auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    points.push_back(valid ? c : kReplacement);
    i += valid ? length : 1;
  }
  return points;
}

}  // namespace

std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t size) {
  std::string text;
  std::size_t units = size / 2;
  for (std::size_t i = 0; i < units; ++i) {
    char32_t unit = bytes[2 * i] | (bytes[2 * i + 1] << 8);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
      char32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    AppendUtf8(text, unit >= 0xD800 && unit < 0xE000 ? kReplacement : unit);
  }
  return text;
}

std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  auto put = [&bytes](char32_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  for (char32_t c : CodePoints(text)) {
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return bytes;
}

std::string AnsiToUtf8(std::string_view text) {
  std::string result;
  for (char byte : text) {
    auto b = static_cast<unsigned char>(byte);
    AppendUtf8(result, b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b);
  }
  return result;
}

std::string Utf8ToAnsi(std::string_view text) {
  std::string result;
  for (char32_t c : CodePoints(text)) {
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
      result += static_cast<char>(c);
      continue;
    }
    char ansi = '?';
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
      if (kHighControls[i] == c) {
        ansi = static_cast<char>(0x80 + i);
      }
    }
    result += ansi;
  }
  return result;
}

}  // namespace sim
