#include "runtime/io/list_reader.hpp"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

#include "runtime/run_error.hpp"

namespace rt {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equals_ignoring_case(std::string_view s, std::string_view lower_word) {
  if (s.size() != lower_word.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (lower(s[i]) != lower_word[i]) return false;
  return true;
}

enum class RealParse { ok, malformed, overflow };

// A real in any of the spellings the list-directed convention takes: sign,
// digits with an optional point, an exponent opened by E, D (any case) or by
// its sign alone (1.5+3); also Inf, Infinity and NaN. Converted correctly
// rounded and independent of the locale.
RealParse parse_real(std::string_view s, double& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  const std::string_view word = s.substr(i);
  if (equals_ignoring_case(word, "inf") || equals_ignoring_case(word, "infinity")) {
    value = negative ? -std::numeric_limits<double>::infinity()
                     : std::numeric_limits<double>::infinity();
    return RealParse::ok;
  }
  if (equals_ignoring_case(word, "nan")) {
    value = negative ? -std::numeric_limits<double>::quiet_NaN()
                     : std::numeric_limits<double>::quiet_NaN();
    return RealParse::ok;
  }
  const std::size_t int_begin = i;
  while (i < s.size() && is_digit(s[i])) ++i;
  const std::string_view whole = s.substr(int_begin, i - int_begin);
  std::string_view fraction;
  if (i < s.size() && s[i] == '.') {
    const std::size_t f = ++i;
    while (i < s.size() && is_digit(s[i])) ++i;
    fraction = s.substr(f, i - f);
  }
  if (whole.empty() && fraction.empty()) return RealParse::malformed;
  bool exponent_negative = false;
  std::string_view exponent;
  if (i < s.size()) {
    const char c = lower(s[i]);
    if (c == 'e' || c == 'd') ++i;
    else if (c != '+' && c != '-') return RealParse::malformed;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) exponent_negative = s[i++] == '-';
    const std::size_t e = i;
    while (i < s.size() && is_digit(s[i])) ++i;
    exponent = s.substr(e, i - e);
    if (exponent.empty() || i != s.size()) return RealParse::malformed;
  }

  // The decimal order of the first non-zero digit tells overflow from
  // underflow before the exponent is handed on, so that an exponent of any
  // length is safe.
  std::size_t lead = 0;
  const std::string digits = std::string(whole) + std::string(fraction);
  while (lead < digits.size() && digits[lead] == '0') ++lead;
  const double zero = negative ? -0.0 : 0.0;
  if (lead == digits.size()) {
    value = zero;
    return RealParse::ok;
  }
  while (!exponent.empty() && exponent.front() == '0') exponent.remove_prefix(1);
  if (exponent.size() > 9) {
    if (exponent_negative) {
      value = zero;
      return RealParse::ok;
    }
    return RealParse::overflow;
  }
  std::int64_t e10 = 0;
  for (const char c : exponent) e10 = e10 * 10 + (c - '0');
  if (exponent_negative) e10 = -e10;
  const std::int64_t order =
      e10 + static_cast<std::int64_t>(whole.size()) - static_cast<std::int64_t>(lead);
  if (order > 400) return RealParse::overflow;
  if (order < -400) {
    value = zero;
    return RealParse::ok;
  }
  std::string normal;
  normal.reserve(digits.size() + 24);
  if (negative) normal += '-';
  normal.append(whole.empty() ? std::string_view("0") : whole);
  normal += '.';
  normal.append(fraction);
  normal += 'e';
  normal += std::to_string(e10);
  const auto r = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    if (order > 0) return RealParse::overflow;
    value = zero;  // below the smallest subnormal
    return RealParse::ok;
  }
  if (r.ec != std::errc() || r.ptr != normal.data() + normal.size()) return RealParse::malformed;
  return RealParse::ok;
}

}  // namespace

std::string quoted(std::string_view bytes) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  for (std::size_t i = 0; i < bytes.size() && i < kShown; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      constexpr char hex[] = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  out += '"';
  if (bytes.size() > kShown) out += " (cut; " + std::to_string(bytes.size()) + " bytes in all)";
  return out;
}

ListReader::ListReader(std::string label, std::string bytes)
    : label_(std::move(label)), data_(std::move(bytes)) {
  // A UTF-8 byte-order mark, as some editors save one.
  if (data_.compare(0, 3, "\xEF\xBB\xBF") == 0) next_line_ = 3;
}

void ListReader::fail_at_line(std::string_view name, const std::string& what) const {
  throw RunError(label_ + ":" + std::to_string(line_) + ": " + std::string(name) + ": " + what);
}

ListReader::Item ListReader::next_item(std::string_view name) {
  std::size_t p = next_line_;
  std::int64_t number = next_line_number_;
  const char* base = data_.data();
  for (;;) {
    if (p >= data_.size()) {
      const std::string count = values_read_ == 0 ? "the file holds no value"
                                : values_read_ == 1 ? "the file ends after 1 value"
                                : "the file ends after " + std::to_string(values_read_) + " values";
      throw RunError(label_ + ": " + std::string(name) + ": missing, " + count);
    }
    const void* nl = std::memchr(base + p, '\n', data_.size() - p);
    const std::size_t line_end = nl ? static_cast<const char*>(nl) - base : data_.size();
    std::size_t content_end = line_end;
    if (content_end > p && base[content_end - 1] == '\r') --content_end;
    std::size_t s = p;
    while (s < content_end && is_blank(base[s])) ++s;
    if (s < content_end) {
      // Lines are counted past the int range (a file of over 2 GiB of
      // line ends) but a value's line must be an int to be reported.
      if (number > std::numeric_limits<int>::max())
        throw RunError(label_ + ": " + std::string(name) + ": the value stands after line " +
                       std::to_string(std::numeric_limits<int>::max()) + " of the file");
      next_line_ = line_end + 1;
      next_line_number_ = number + 1;
      line_ = static_cast<int>(number);
      // A repeat count r*c stands for c; r* alone is a null value.
      const std::size_t first = s;
      std::size_t q = s;
      while (q < content_end && is_digit(base[q])) ++q;
      if (q > s && q < content_end && base[q] == '*') {
        const std::string_view count(base + first, q + 1 - first);
        if (count.find_first_not_of("0*") == std::string_view::npos)
          fail_at_line(name, "a repeat count must be at least 1, found " + quoted(count));
        s = q + 1;
        if (s == content_end || ends_value(base[s]))
          fail_at_line(name, "missing, the repeat count " + quoted(count) + " gives no value");
      }
      if (base[s] == ',') fail_at_line(name, "missing, the line has no value before its comma");
      if (base[s] == '/') fail_at_line(name, "missing, a slash stands where the value should be");
      return {s, content_end};
    }
    p = line_end + 1;
    ++number;
  }
}

std::string_view ListReader::token(const Item& item) const {
  std::size_t t = item.begin;
  while (t < item.end && !ends_value(data_[t])) ++t;
  return std::string_view(data_).substr(item.begin, t - item.begin);
}

int ListReader::read_integer(std::string_view name) {
  const std::string_view s = token(next_item(name));
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  bool digits = i < s.size();
  std::int64_t value = 0;
  bool too_large = false;
  for (std::size_t k = i; k < s.size(); ++k) {
    if (!is_digit(s[k])) {
      digits = false;
      break;
    }
    if (value <= std::int64_t{1} << 32) value = value * 10 + (s[k] - '0');
    else too_large = true;
  }
  if (!digits) fail_at_line(name, "expected an integer, found " + quoted(s));
  if (negative) value = -value;
  if (too_large || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    fail_at_line(name, "expected an integer from -2147483648 to 2147483647, found " + quoted(s));
  ++values_read_;
  return static_cast<int>(value);
}

double ListReader::read_real(std::string_view name) {
  const std::string_view s = token(next_item(name));
  double value = 0;
  switch (parse_real(s, value)) {
    case RealParse::ok: break;
    case RealParse::malformed: fail_at_line(name, "expected a real number, found " + quoted(s));
    case RealParse::overflow:
      fail_at_line(name, "the number is too large for a double, found " + quoted(s));
  }
  ++values_read_;
  return value;
}

FixedText ListReader::read_text(std::string_view name) {
  const Item item = next_item(name);
  const char delimiter = data_[item.begin];
  if (delimiter != '\'' && delimiter != '"') {
    ++values_read_;
    return make_text(token(item));
  }
  // Between apostrophes or quotation marks the name may hold blanks, commas
  // and slashes; a doubled delimiter stands for one. It must close on its line.
  std::string text;
  std::size_t i = item.begin + 1;
  for (;;) {
    if (i >= item.end)
      fail_at_line(name, std::string("the closing ") + delimiter + " is missing on the line");
    if (data_[i] == delimiter) {
      if (i + 1 < item.end && data_[i + 1] == delimiter) {
        if (text.size() < kTextLength) text += delimiter;
        i += 2;
        continue;
      }
      ++i;
      break;
    }
    if (text.size() < kTextLength) text += data_[i];
    ++i;
  }
  if (i < item.end && !ends_value(data_[i]))
    fail_at_line(name, std::string("expected a blank or a comma after the closing ") + delimiter +
                           ", found " + quoted(std::string_view(data_).substr(i, item.end - i)));
  ++values_read_;
  return make_text(text);
}

}  // namespace rt
