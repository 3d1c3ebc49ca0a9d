// Taking a fuzzer's input apart: lines of text for names, and the rest of the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// The input split at a separator byte sequence into at most `parts` pieces (the last takes the
// rest); missing pieces are empty.
inline std::vector<std::string> Split(const std::uint8_t* data, std::size_t size,
                                      std::string_view separator, std::size_t parts) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (pieces.size() + 1 < parts) {
    std::size_t at = text.find(separator, start);
    if (at == std::string::npos) {
      break;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  pieces.push_back(text.substr(start));
  pieces.resize(parts);
  return pieces;
}

}  // namespace fuzz
