#include "install/InfOptions.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace install {

namespace {

constexpr const char* kSection = "[CONFIG1.AddReg]";
constexpr const char* kEnableLegacy = "HKR,\"Settings\",\"EnableLegacy\",";
constexpr const char* kJackConfig = "HKR,\"Settings\",\"JackConfig\",";
constexpr std::size_t kLineBuffer = 1024;  // a line is read in pieces of 1023 characters
constexpr std::size_t kValueColumn = 48;   // the value digit is the line's 49th character
// The largest INF file patched. A driver's INF is a few kilobytes; what is read is held twice
// at most, which a machine of 16 MB spares without paging.
constexpr std::int64_t kLargestInf = 1024 * 1024;
constexpr char kEndOfText = 0x1A;  // Ctrl-Z: the end of a text file

// The file's bytes as a text-mode reader sees them (up to Ctrl-Z), read by the file's size;
// nothing when it is larger than any INF file, or when there is no memory to hold it: the file
// is then left alone.
std::optional<std::string> ReadText(platform::Stream& stream) {
  if (!stream.Seek(0, platform::SeekOrigin::End)) {
    return std::nullopt;
  }
  const std::int64_t size = stream.Tell();
  if (size < 0 || size > kLargestInf || !stream.Seek(0, platform::SeekOrigin::Begin)) {
    return std::nullopt;
  }
  try {
    std::vector<std::uint8_t> bytes = stream.Read(static_cast<std::size_t>(size));
    std::string text(bytes.begin(), bytes.end());
    text.erase(std::min(text.find(kEndOfText), text.size()));
    return text;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

// The first `c` in [from, to), or `to`.
std::size_t Find(const std::string& text, char c, std::size_t from, std::size_t to) {
  const auto begin = text.begin() + static_cast<std::ptrdiff_t>(from);
  return from + static_cast<std::size_t>(
                    std::find(begin, text.begin() + static_cast<std::ptrdiff_t>(to), c) - begin);
}

// The offset of the value column of the first line holding `keyLine` at or after the section
// header; nothing when there is none, or when the line is too short to hold the column. Lines
// end in CR LF, LF or a bare CR, and are read as pieces of 1023 characters: the rest of a
// longer line is no line of its own. A line's text ends at a zero byte, as a C string does.
std::optional<std::size_t> FindValueColumn(const std::string& text, const char* keyLine) {
  bool inSection = false;
  bool atLineStart = true;
  for (std::size_t pieceStart = 0; pieceStart < text.size();) {
    // Each search stays inside the piece, so that a file is read through once.
    const std::size_t limit = std::min(text.size(), pieceStart + kLineBuffer - 1);
    const std::size_t newline = Find(text, '\n', pieceStart, limit);
    const std::size_t pieceEnd = newline == limit ? limit : newline + 1;
    const bool startsLine = atLineStart;
    atLineStart = text[pieceEnd - 1] == '\n';
    // A carriage return before the newline ends the line's text like any other.
    const std::size_t contentEnd = pieceEnd - (atLineStart ? 1 : 0);
    for (std::size_t lineStart = pieceStart; lineStart <= contentEnd;) {
      const std::size_t lineEnd = Find(text, '\r', lineStart, contentEnd);
      std::string_view line(text.data() + lineStart, lineEnd - lineStart);
      std::string_view asString = line.substr(0, line.find('\0'));
      const bool ownLine = lineStart > pieceStart || startsLine;
      if (asString.find(kSection) != std::string_view::npos) {
        inSection = true;
      }
      if (inSection && ownLine && asString.find(keyLine) != std::string_view::npos) {
        // The value column must lie inside this line: otherwise the byte written would
        // belong to the next one.
        if (line.size() > kValueColumn) {
          return lineStart + kValueColumn;
        }
        return std::nullopt;
      }
      lineStart = lineEnd + 1;
    }
    pieceStart = pieceEnd;
  }
  return std::nullopt;
}

void WriteDigit(platform::Stream& stream, std::size_t offset, char digit) {
  if (stream.Seek(static_cast<std::int64_t>(offset), platform::SeekOrigin::Begin)) {
    stream.Write(&digit, 1);
    stream.Flush();
  }
}

}  // namespace

char EnableLegacyDigit(const JackOptions& options) {
  return static_cast<char>('0' + 2 + (options.gamePortEnabled ? 1 : 0) +
                           (options.midiPortEnabled ? 4 : 0));
}

char JackConfigDigit(const JackOptions& options) {
  return static_cast<char>('0' + (options.lineInSharesRearJack ? 1 : 0) +
                           (options.lineInSharesCenterJack ? 2 : 0) +
                           (options.micSharesSubwooferJack ? 4 : 0));
}

void PatchInfOptions(platform::Platform& platform, const std::string& path,
                     const JackOptions& options) {
  // Binary mode: every position is a real byte, whatever the file's line ends.
  std::unique_ptr<platform::Stream> stream = platform.files.OpenStream(path, "r+b");
  if (!stream) {
    return;
  }
  std::optional<std::string> text = ReadText(*stream);
  if (!text) {
    return;
  }
  if (std::optional<std::size_t> column = FindValueColumn(*text, kEnableLegacy)) {
    platform.system.Sleep(100);
    WriteDigit(*stream, *column, EnableLegacyDigit(options));
  }
  if (std::optional<std::size_t> column = FindValueColumn(*text, kJackConfig)) {
    WriteDigit(*stream, *column, JackConfigDigit(options));
  }
  stream->Seek(0, platform::SeekOrigin::End);
  stream->Flush();
}

}  // namespace install
