// The WebAssembly build's stand-ins for the floating-point std::to_chars
// and std::from_chars (rt::shortest_chars, rt::read_double) give exactly
// what this C++ library's own give: the same characters, the same value,
// the same end and error, on the cases where a fast path could go wrong
// (powers of two, whose gap below is half the gap above; near-ties; 2^53;
// the ends of the exact powers of ten; subnormals; too many digits) and,
// for the shortest form, on a sample from fixed seeds. The reading's sample
// is web/tests/number_text_check.cpp's, against musl's strtod.

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "runtime/io/list_number.hpp"
#include "runtime/library_gaps.hpp"

namespace {

int failures = 0;

void check_shortest(double x) {
  char ours[64], theirs[64];
  const auto a = rt::shortest_chars(ours, ours + sizeof ours, x);
  const auto b = std::to_chars(theirs, theirs + sizeof theirs, x);
  const std::string mine(ours, a.ptr), std_text(theirs, b.ptr);
  if (mine != std_text && ++failures <= 20)
    ADD_FAILURE() << "bits 0x" << std::hex << std::bit_cast<std::uint64_t>(x) << ": " << mine
                  << " against " << std_text;
}

void check_read(const std::string& text) {
  double ours = -1.5, theirs = -1.5;
  const char* end = text.data() + text.size();
  const auto a = rt::read_double(text.data(), end, ours);
  const auto b = std::from_chars(text.data(), end, theirs);
  const bool same = std::bit_cast<std::uint64_t>(ours) == std::bit_cast<std::uint64_t>(theirs) ||
                    (std::isnan(ours) && std::isnan(theirs));  // payloads aside
  if ((a.ptr != b.ptr || a.ec != b.ec || !same) &&
      ++failures <= 20)
    ADD_FAILURE() << "\"" << text << "\": " << ours << " up to " << a.ptr - text.data()
                  << " against " << theirs << " up to " << b.ptr - text.data();
}

std::string printed(const char* format, int digits, double x) {
  char text[64];
  std::snprintf(text, sizeof text, format, digits, x);
  return text;
}

TEST(NumberText, ShortestFormIsTheLibrarys) {
  failures = 0;
  using D = std::numeric_limits<double>;
  for (const double x : {0.0, -0.0, D::infinity(), -D::infinity(), D::quiet_NaN(), D::max(),
                         D::min(), D::denorm_min(), 12.5, 0.125, 1e22, 1e23, 9007199254740992.0,
                         9007199254740993.0, 5e-324, 1e15, 123456789012345.6, 0.1, 1e-7, 1e21})
    check_shortest(x), check_shortest(-x);
  // Every power of two, and its neighbours.
  for (int e = -1074; e <= 1023; ++e) {
    const double p = std::ldexp(1.0, e);
    for (const double x : {p, std::nextafter(p, 0.0), std::nextafter(p, D::infinity())})
      check_shortest(x);
  }
  std::mt19937_64 random(20261207);
  for (int i = 0; i < 200000; ++i) {
    // Any bits; decimals of 1 to 17 digits as the program's files hold
    // them, over the decades; the halfway points between such decimals.
    const double any = std::bit_cast<double>(random());
    if (std::isfinite(any)) check_shortest(any);
    const int digits = 1 + static_cast<int>(random() % 17);
    const double scale = std::pow(10.0, static_cast<double>(random() % 60) - 30);
    const double fraction = std::ldexp(static_cast<double>(random() >> 11), -53);
    const double decimal = std::strtod(printed("%.*e", digits - 1, fraction * scale).c_str(), nullptr);
    check_shortest(decimal);
    const std::string near = printed("%.*e", digits - 1, decimal);
    const std::size_t e = near.find('e');
    check_shortest(std::strtod((near.substr(0, e) + "5" + near.substr(e)).c_str(), nullptr));
  }
}

TEST(NumberText, ReadingIsTheLibrarys) {
  failures = 0;
  for (const char* text :
       {"0", "-0", "0.000e999999", "1e400", "-1e400", "1e-400", "4.9e-324", "2.4703282292062327e-324",
        "2.4703282292062328e-324", "9007199254740992", "9007199254740993", "9007199254740993e-22",
        "1e22", "1e23", "18446744073709551616e-3", "123456789012345678901234567890",
        "0.1234567890123456789012", "inf", "-Infinity",
        "nan", "nan(0x1)", ".5", "5.", ".", "-", "e5", "1e", "1e+", "1.5e-3x", "+1", " 1", "0x10",
        "1.797693134862316E+308", "2.2250738585072011e-308", "00000000000000000000000000012.5e-1"})
    check_read(text);
}

}  // namespace
