#pragma once
// The run's texts (run name, file names, editor commands) are fixed
// 50-character texts padded with blanks, as the program has always kept them.

#include <array>
#include <string_view>

namespace rt {

inline constexpr std::size_t kTextLength = 50;
using FixedText = std::array<char, kTextLength>;

// Left-justified, padded with blanks, cut at 50 characters.
FixedText make_text(std::string_view bytes);

// The first 50 characters of a literal followed by all 50 characters of a
// text, its trailing blanks included: "Curva1_" joined with a name is 57
// characters before the cut.
FixedText join(std::string_view literal, const FixedText& text);

// The text without its trailing blanks, as used for a file name.
std::string_view trimmed(const FixedText& text);

}  // namespace rt
