#include "runtime/platform/file_names.hpp"

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"

namespace rt {
namespace {

// Windows-1252 0x80..0x9F; the five bytes the code page leaves undefined map
// to the C1 control characters, as Windows itself maps them.
constexpr char32_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t from_1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : char32_t{byte};
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

enum class Step { ok, truncated, invalid };

// Decodes one UTF-8 sequence at s[i]; strict (no overlong forms, no
// surrogates, nothing above U+10FFFF). On ok, advances i and sets c.
Step decode_one(std::string_view s, std::size_t& i, char32_t& c) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  int more;
  char32_t min;
  if (b0 < 0x80) {
    c = b0;
    ++i;
    return Step::ok;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    more = 1, min = 0x80, c = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    more = 2, min = 0x800, c = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    more = 3, min = 0x10000, c = b0 & 0x07;
  } else {
    return Step::invalid;
  }
  for (int k = 1; k <= more; ++k) {
    if (i + k >= s.size()) return Step::truncated;
    const unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return Step::invalid;
    c = (c << 6) | (b & 0x3F);
    // Reject overlong, surrogate and out-of-range forms as soon as the
    // second byte tells, so that a cut sequence is judged like a whole one.
    if (k == 1) {
      if ((b0 == 0xE0 && b < 0xA0) || (b0 == 0xED && b > 0x9F) ||
          (b0 == 0xF0 && b < 0x90) || (b0 == 0xF4 && b > 0x8F))
        return Step::invalid;
    }
  }
  if (c < min) return Step::invalid;
  i += more + 1;
  return Step::ok;
}

}  // namespace

NameEncoding name_encoding(std::string_view name, std::string_view cut_off) {
  char32_t c;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t start = i;
    switch (decode_one(name, i, c)) {
      case Step::ok: break;
      case Step::invalid: return NameEncoding::windows1252;
      case Step::truncated: {
        const std::string whole = std::string(name.substr(start)) + std::string(cut_off);
        std::size_t j = 0;
        return decode_one(whole, j, c) == Step::ok ? NameEncoding::utf8
                                                   : NameEncoding::windows1252;
      }
    }
  }
  return NameEncoding::utf8;
}

std::string disk_name(std::string_view text, std::size_t prefix_length,
                      NameEncoding encoding) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < prefix_length; ++i)
    append_utf8(out, from_1252(static_cast<unsigned char>(text[i])));
  const std::string_view rest = text.substr(prefix_length);
  if (encoding == NameEncoding::windows1252) {
    for (const char byte : rest) append_utf8(out, from_1252(static_cast<unsigned char>(byte)));
    return out;
  }
  char32_t c;
  for (std::size_t i = 0; i < rest.size();) {
    if (decode_one(rest, i, c) != Step::ok) break;  // the cut end of a sequence
    append_utf8(out, c);
  }
  return out;
}

std::u32string code_points(std::string_view utf8) {
  std::u32string out;
  char32_t c;
  for (std::size_t i = 0; i < utf8.size();) {
    if (decode_one(utf8, i, c) != Step::ok) break;
    out += c;
  }
  return out;
}

std::string name_fault(std::string_view utf8_name) {
  const std::u32string name = code_points(utf8_name);
  if (name.empty()) return tr("is empty");
  if (name == U"." || name == U"..") return tr("names a folder, not a file");
  for (const char32_t c : name) {
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return tr("holds a control character");
    if (c == U'/') return tr("holds a '{}'", {"/"});
    if (c == U'\\') return tr("holds a '{}'", {"\\"});
  }
  return platform_name_fault(name);
}

}  // namespace rt
