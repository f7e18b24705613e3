#pragma once
// What the C++ library of the WebAssembly build (the libc++ of emscripten
// 3.1.6) lacks of C++20: std::bit_cast, and the floating-point overloads of
// std::to_chars and std::from_chars. That build adds this header to every
// source with -include, so that the code calls the std functions as it
// does everywhere else.
//
// The conversions stand on the C library's snprintf and strtod, which musl computes
// exactly (the digits of the exact binary value, correctly rounded; a
// decimal string correctly rounded to the nearest double), and give the
// same results as the standard's own: the shortest form that reads back to
// the same double, fixed or exponent form by length; "%.*e" for the
// exponent form at a precision; and reading the C locale's decimal form,
// "inf", "infinity" and "nan", with no leading '+' or blanks, and
// result_out_of_range for a value beyond a double's range either way.

#include <bit>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

inline to_chars_result to_chars(char* first, char* last, double value, chars_format,
                                int precision) {
  char text[400];
  const int n = std::snprintf(text, sizeof text, "%.*e", precision, value);
  if (n < 0 || n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, text, static_cast<std::size_t>(n));
  return {first + n, errc{}};
}

inline to_chars_result to_chars(char* first, char* last, float value, chars_format format,
                                int precision) {
  return to_chars(first, last, static_cast<double>(value), format, precision);
}

// The shortest text that reads back as value: the fewest significant
// digits that round-trip, written in fixed form ("%f" with as many
// decimals as they need) unless the exponent form is shorter.
inline to_chars_result to_chars(char* first, char* last, double value) {
  char text[400];
  int n = 0;
  if (std::isnan(value) || std::isinf(value)) {
    n = std::snprintf(text, sizeof text, "%s%s", std::signbit(value) ? "-" : "",
                      std::isnan(value) ? "nan" : "inf");
  } else {
    char exponent_form[64];
    int digits = 1;
    for (; digits < 17; ++digits) {
      std::snprintf(exponent_form, sizeof exponent_form, "%.*e", digits - 1, value);
      if (std::strtod(exponent_form, nullptr) == value) break;
    }
    const int e = std::snprintf(exponent_form, sizeof exponent_form, "%.*e", digits - 1, value);
    const int x10 = std::atoi(std::strchr(exponent_form, 'e') + 1);
    const int decimals = digits - 1 - x10 > 0 ? digits - 1 - x10 : 0;
    n = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    if (e < n) {
      std::memcpy(text, exponent_form, static_cast<std::size_t>(e) + 1);
      n = e;
    }
  }
  if (n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, text, static_cast<std::size_t>(n));
  return {first + n, errc{}};
}

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  const auto lower_is = [&](const char* at, const char* word) {
    for (; *word; ++at, ++word)
      if (at == last || (*at | 0x20) != *word) return false;
    return true;
  };
  const auto digit = [&](const char* at) { return at != last && *at >= '0' && *at <= '9'; };
  const char* p = first;
  if (p != last && *p == '-') ++p;
  bool nonzero = false;
  if (lower_is(p, "inf")) {
    p += lower_is(p, "infinity") ? 8 : 3;
  } else if (lower_is(p, "nan")) {
    p += 3;
    const char* q = p;
    if (q != last && *q == '(') {
      for (++q; q != last && (std::isalnum(static_cast<unsigned char>(*q)) || *q == '_');) ++q;
      if (q != last && *q == ')') p = q + 1;
    }
  } else {
    const char* mantissa = p;
    for (; digit(p); ++p) nonzero = nonzero || *p != '0';
    if (p != last && *p == '.')
      for (++p; digit(p); ++p) nonzero = nonzero || *p != '0';
    if (p - mantissa == 0 || (p - mantissa == 1 && *mantissa == '.'))
      return {first, errc::invalid_argument};
    if (p != last && (*p | 0x20) == 'e') {
      const char* q = p + 1;
      if (q != last && (*q == '+' || *q == '-')) ++q;
      if (digit(q)) {
        while (digit(q)) ++q;
        p = q;
      }
    }
  }
  if (p == first || (p == first + 1 && *first == '-')) return {first, errc::invalid_argument};
  const std::string text(first, p);
  errno = 0;
  const double read = std::strtod(text.c_str(), nullptr);
  if (std::isinf(read) && errno == ERANGE) return {p, errc::result_out_of_range};
  if (read == 0 && nonzero) return {p, errc::result_out_of_range};
  value = read;
  return {p, errc{}};
}

}  // namespace std
