// Where Wine's profile reader is known to differ from Windows', written as a rewrite of the file:
// the rewritten file, read with Windows' rules, answers as Wine answers the original. The
// differential test uses it to tell a known Wine difference from a new one, and to notice the
// day Wine starts to read a shape as Windows does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace differential {

enum class WineShape {
  // Windows ignores the lines before the first header; Wine keeps them in a section without a
  // name, ahead of every other, which an empty section name finds.
  KeysBeforeFirstHeader,
  // Windows reads "[Strings" as the header of section "Strings"; Wine reads it as a line of the
  // section before it.
  HeaderWithoutClosingBracket,
  // Windows ends a section name at the first "]", so "[Strings]]" is section "Strings"; Wine ends
  // it at the last one and calls it "Strings]".
  HeaderWithTwoClosingBrackets,
  // A name alone on a line (no "=") is no key on Windows, so a later "name=value" in the same
  // section is found; Wine keeps it as a key without a value, which hides the later one and
  // answers with the default.
  NameWithoutValue,
  // A value in quotation marks, read into a buffer that holds it exactly (its length without the
  // marks, plus the terminating zero): Windows returns it whole; Wine drops its last character.
  QuotedValueFillingTheBuffer,
  // Windows reads the bytes of a UTF-8 byte order mark as the start of the first line (a header
  // there is no header); Wine reads the file as UTF-8.
  Utf8ByteOrderMark,
};

const std::vector<WineShape>& AllWineShapes();
const char* ShapeName(WineShape shape);

// `text` as Wine reads it with respect to the given shapes, for a reader that follows Windows;
// `capacity` is the caller's buffer (0: none, as for integers). A UTF-16 file, which Wine reads
// as the NT family does, is given in the ANSI code page, as an ANSI call gets it.
std::string WineView(std::string_view text, const std::vector<WineShape>& shapes,
                     std::uint32_t capacity);

}  // namespace differential
