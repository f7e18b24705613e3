#include "runtime/io/fixed_text.hpp"

#include <algorithm>

namespace rt {

FixedText make_text(std::string_view bytes) {
  FixedText text;
  text.fill(' ');
  std::copy_n(bytes.begin(), std::min(bytes.size(), kTextLength), text.begin());
  return text;
}

FixedText join(std::string_view literal, const FixedText& text) {
  FixedText joined;
  joined.fill(' ');
  const std::size_t head = std::min(literal.size(), kTextLength);
  std::copy_n(literal.begin(), head, joined.begin());
  std::copy_n(text.begin(), kTextLength - head, joined.begin() + head);
  return joined;
}

std::string_view trimmed(const FixedText& text) {
  std::size_t n = text.size();
  while (n > 0 && text[n - 1] == ' ') --n;
  return {text.data(), n};
}

}  // namespace rt
