#include "install/InfOptions.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

namespace install {

namespace {

constexpr const char* kSection = "[CONFIG1.AddReg]";
constexpr const char* kEnableLegacy = "HKR,\"Settings\",\"EnableLegacy\",";
constexpr const char* kJackConfig = "HKR,\"Settings\",\"JackConfig\",";
constexpr std::uint32_t kLineBuffer = 1024;
constexpr std::int64_t kValueColumn = 48;  // the value digit is the line's 49th character

// Finds the first line holding `keyLine` at or after the section header, from the start of
// the file, and writes `digit` at its value column. The stream reads lines as fgets does; a
// bare carriage return also ends a line here, so that the column is counted from the line's
// own start, and a piece of a line longer than the buffer is no line of its own.
void PatchFirstLine(platform::Stream& stream, const char* keyLine, char digit, bool wait,
                    platform::System& system) {
  if (!stream.Seek(0, platform::SeekOrigin::Begin)) {
    return;
  }
  bool inSection = false;
  bool atLineStart = true;
  for (;;) {
    const std::int64_t pieceStart = stream.Tell();
    std::optional<std::string> piece = stream.GetLine(kLineBuffer);
    if (!piece || pieceStart < 0) {
      return;
    }
    bool startsLine = atLineStart;
    atLineStart = !piece->empty() && piece->back() == '\n';
    if (atLineStart) {
      piece->pop_back();
    }
    // Within the piece, every byte is one byte of the file: only the line end was translated.
    for (std::size_t begin = 0; begin <= piece->size(); startsLine = true) {
      std::size_t end = std::min(piece->find('\r', begin), piece->size());
      const std::string_view line = std::string_view(*piece).substr(begin, end - begin);
      const std::int64_t lineStart = pieceStart + static_cast<std::int64_t>(begin);
      begin = end + 1;
      if (line.find(kSection) != std::string_view::npos) {
        inSection = true;
      }
      if (!inSection || !startsLine || line.find(keyLine) == std::string_view::npos) {
        continue;
      }
      // The value column must lie inside this line: otherwise the byte written would belong
      // to the next one.
      if (static_cast<std::int64_t>(line.size()) > kValueColumn) {
        if (wait) {
          system.Sleep(100);
        }
        if (stream.Seek(lineStart + kValueColumn, platform::SeekOrigin::Begin)) {
          stream.Write(&digit, 1);
          stream.Flush();
        }
      }
      return;
    }
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
  std::unique_ptr<platform::Stream> stream = platform.files.OpenStream(path, "r+");
  if (!stream) {
    return;
  }
  PatchFirstLine(*stream, kEnableLegacy, EnableLegacyDigit(options), true, platform.system);
  PatchFirstLine(*stream, kJackConfig, JackConfigDigit(options), false, platform.system);
  stream->Seek(0, platform::SeekOrigin::End);
  stream->Flush();
}

}  // namespace install
