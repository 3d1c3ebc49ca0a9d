// Text in the simulated machine's ANSI code page (Windows-1252, as on a western Windows) and in
// UTF-16, as the NT family's profile functions meet it: an ANSI call converts its texts to
// Unicode and back, a character the code page lacks coming back as "?".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// A code point appended as UTF-8.
void AppendUtf8(std::string& text, char32_t c);
// UTF-16 little-endian bytes (no byte order mark) as UTF-8; a byte left over at the end of an
// odd count is not read, an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* bytes, std::size_t size);
// UTF-8 as UTF-16 little-endian bytes (no byte order mark).
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text);
// ANSI text (Windows-1252) as UTF-8, and back; a character Windows-1252 lacks becomes "?".
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace sim
