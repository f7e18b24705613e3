#pragma once
// Text and numbers as they go into an SVG document.

#include <string>
#include <string_view>

namespace grafico {

// UTF-8 text escaped for XML character data and attribute values. Bytes
// that are not valid UTF-8, and control characters XML does not allow,
// become U+FFFD, so that any file name gives a well-formed document.
std::string xml_escaped(std::string_view utf8);

// A coordinate with at most two decimals, '.' whatever the locale.
std::string svg_number(double x);

}  // namespace grafico
