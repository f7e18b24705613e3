#pragma once
// What the C++ library of the WebAssembly build (the libc++ of emscripten
// 3.1.6) lacks of C++20: std::bit_cast, and the floating-point overloads of
// std::to_chars and std::from_chars. That build adds this header to every
// source with -include, so that the code calls the std functions as it
// does everywhere else; a library that has them (the native builds, whose
// tests include this header for rt::read_double) keeps its own.
//
// They give the standard's results. Writing at a precision is the C
// library's snprintf, which musl computes exactly (the digits of the exact
// binary value, correctly rounded); the shortest form that reads back is
// rt::shortest_chars (runtime/io/list_number.cpp). Reading takes the C
// locale's decimal form, "inf", "infinity" and "nan", with no leading '+'
// or blanks, and gives result_out_of_range for a value beyond a double's
// range either way.

#include <bit>
#include <charconv>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

namespace rt {

std::to_chars_result shortest_chars(char* first, char* last, double x);

// Reading: what the number's syntax allows is found here, and its value
// worked out by the C library's strtod, but for the numbers that are the
// common case in the program's files: at most 19 significant digits (then
// the digits are exactly an integer w of 64 bits) with w at most 2^53 and
// the decimal exponent q within 22 of zero. Then w and 10^|q| are both
// doubles exactly, and one multiplication or division by a power of ten,
// rounded to nearest as every IEEE operation is, gives the correctly
// rounded value, as strtod does (Clinger's fast path). The numbers arrasto
// writes, 15 digits in the fixed form, always take it; musl's strtod, which
// works in 128-bit long double (a software type in WebAssembly), is the
// rest.
inline std::from_chars_result read_double(const char* first, const char* last, double& value) {
  const auto lower_is = [&](const char* at, const char* word) {
    for (; *word; ++at, ++word)
      if (at == last || (*at | 0x20) != *word) return false;
    return true;
  };
  const auto digit = [&](const char* at) { return at != last && *at >= '0' && *at <= '9'; };
  const char* p = first;
  const bool negative = p != last && *p == '-';
  if (negative) ++p;
  bool nonzero = false;
  // The significant digits as w x 10^q while they fit in 19 digits.
  std::uint64_t w = 0;
  int significant = 0;
  long long q = 0;
  bool fast = true;
  if (lower_is(p, "inf")) {
    p += lower_is(p, "infinity") ? 8 : 3;
    fast = false;
  } else if (lower_is(p, "nan")) {
    p += 3;
    const char* r = p;
    if (r != last && *r == '(') {
      for (++r; r != last && (std::isalnum(static_cast<unsigned char>(*r)) || *r == '_');) ++r;
      if (r != last && *r == ')') p = r + 1;
    }
    fast = false;
  } else {
    const auto take = [&](char c, bool fraction) {
      if (c != '0') nonzero = true;
      if (significant == 0 && c == '0') {
        if (fraction) --q;
        return;
      }
      if (significant < 19) {
        w = w * 10 + static_cast<std::uint64_t>(c - '0');
        ++significant;
        if (fraction) --q;
      } else {
        fast = false;  // more digits than an integer of 64 bits holds
      }
    };
    const char* mantissa = p;
    for (; digit(p); ++p) take(*p, false);
    if (p != last && *p == '.')
      for (++p; digit(p); ++p) take(*p, true);
    if (p - mantissa == 0 || (p - mantissa == 1 && *mantissa == '.'))
      return {first, std::errc::invalid_argument};
    if (p != last && (*p | 0x20) == 'e') {
      const char* r = p + 1;
      const bool down = r != last && *r == '-';
      if (r != last && (*r == '+' || *r == '-')) ++r;
      if (digit(r)) {
        long long x10 = 0;
        for (; digit(r); ++r) x10 = x10 < 100000 ? x10 * 10 + (*r - '0') : x10;
        q += down ? -x10 : x10;
        p = r;
      }
    }
  }
  if (p == first || (p == first + 1 && *first == '-')) return {first, std::errc::invalid_argument};
  constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (fast && w == 0) {
    value = negative ? -0.0 : 0.0;
    return {p, std::errc{}};
  }
  if (fast && w <= (std::uint64_t{1} << 53) && q >= -22 && q <= 22) {
    const double whole = static_cast<double>(w);
    const double read = q >= 0 ? whole * kExact[q] : whole / kExact[-q];
    value = negative ? -read : read;
    return {p, std::errc{}};
  }
  const std::string text(first, p);
  errno = 0;
  const double read = std::strtod(text.c_str(), nullptr);
  if (std::isinf(read) && errno == ERANGE) return {p, std::errc::result_out_of_range};
  if (read == 0 && nonzero) return {p, std::errc::result_out_of_range};
  value = read;
  return {p, std::errc{}};
}

}  // namespace rt

namespace std {

#if !defined(__cpp_lib_bit_cast)
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#if !defined(__cpp_lib_to_chars)
// At a precision, the form printf's conversion of the same name gives (the
// hexadecimal form, which the program never asks for, is refused).
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format,
                                int precision) {
  if (format == chars_format::hex) return {last, errc::value_too_large};
  char text[400];
  const int n = std::snprintf(text, sizeof text,
                              format == chars_format::fixed        ? "%.*f"
                              : format == chars_format::scientific ? "%.*e"
                                                                   : "%.*g",
                              precision, value);
  if (n < 0 || n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, text, static_cast<std::size_t>(n));
  return {first + n, errc{}};
}

inline to_chars_result to_chars(char* first, char* last, float value, chars_format format,
                                int precision) {
  return to_chars(first, last, static_cast<double>(value), format, precision);
}

inline to_chars_result to_chars(char* first, char* last, double value) {
  return rt::shortest_chars(first, last, value);
}

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  return rt::read_double(first, last, value);
}
#endif

}  // namespace std
