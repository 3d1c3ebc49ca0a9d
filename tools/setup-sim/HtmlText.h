// Text made safe for an HTML page: every text that comes from a disc or a machine (names, values,
// command lines, dialog texts) goes through Escape, so that no text can become markup.
#pragma once

#include <string>
#include <string_view>

namespace lab {

// &, <, >, " and ' as character references; control characters but line ends and tabs, which a
// page cannot show, as their pictures (U+2400...).
std::string Escape(std::string_view text);
// A control's text as the dialog manager shows it: "&&" is an ampersand, "&x" underlines x.
std::string EscapeMnemonic(std::string_view text);
// For data: URLs of pictures.
std::string Base64(std::string_view bytes);

}  // namespace lab
