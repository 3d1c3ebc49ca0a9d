#include "tools/setup-sim/HtmlText.h"

#include <cstdint>

namespace lab {

namespace {

void AppendEscaped(std::string& out, char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      return;
    case '<':
      out += "&lt;";
      return;
    case '>':
      out += "&gt;";
      return;
    case '"':
      out += "&quot;";
      return;
    case '\'':
      out += "&#39;";
      return;
    default:
      break;
  }
  const auto byte = static_cast<unsigned char>(c);
  if ((byte < 0x20 && c != '\n' && c != '\r' && c != '\t') || byte == 0x7F) {
    out += "&#" + std::to_string(byte == 0x7F ? 0x2421 : 0x2400 + byte) + ";";
    return;
  }
  out += c;
}

}  // namespace

std::string Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    AppendEscaped(out, c);
  }
  return out;
}

std::string EscapeMnemonic(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&' || i + 1 == text.size()) {
      AppendEscaped(out, text[i]);
    } else if (text[++i] == '&') {
      out += "&amp;";
    } else {
      out += "<u>";
      AppendEscaped(out, text[i]);
      out += "</u>";
    }
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) {
      group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    }
    if (i + 2 < bytes.size()) {
      group |= static_cast<unsigned char>(bytes[i + 2]);
    }
    out += kDigits[(group >> 18) & 63];
    out += kDigits[(group >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(group >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[group & 63] : '=';
  }
  return out;
}

}  // namespace lab
