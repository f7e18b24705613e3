// The fast list-directed writers give exactly the characters of the plain
// std::to_chars ones: on every boundary of the two forms and of the
// rounding, on exact ties, on the special values, and on a short random
// sample. The long random run is arrasto_bench's BM_differential_*.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <type_traits>

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"

namespace {

using D = std::numeric_limits<double>;
using F = std::numeric_limits<float>;

int failures = 0;

// Both writers on x; the first few differences are reported with the
// value's bits, so that a failure can be replayed.
template <typename T>
void check(T x) {
  char fast[rt::kDoubleField], plain[rt::kDoubleField];
  const std::size_t n = sizeof(T) == 8 ? rt::kDoubleField : rt::kFloatField;
  if constexpr (sizeof(T) == 8) rt::format_double(x, fast), rt::format_double_reference(x, plain);
  else rt::format_float(x, fast), rt::format_float_reference(x, plain);
  if (std::memcmp(fast, plain, n) != 0 && ++failures <= 20)
    ADD_FAILURE() << "bits 0x" << std::hex
                  << std::bit_cast<std::conditional_t<sizeof(T) == 8, std::uint64_t, std::uint32_t>>(x)
                  << std::dec << ": fast |"
                  << std::string(fast, n) << "| plain |" << std::string(plain, n) << "|";
}

// x and ulps units in the last place either side, both signs.
template <typename T>
void around(T x, int ulps) {
  T below = x, above = x;
  check(x), check(-x);
  for (int i = 0; i < ulps; ++i) {
    below = std::nextafter(below, T(0));
    above = std::nextafter(above, std::numeric_limits<T>::infinity());
    for (T y : {below, above, -below, -above}) check(y);
  }
}

// 10^k and the values whose rounding to digits or digits + 1 (the exponent
// form's extra digit) carries into 10^k, with their neighbours.
template <typename T>
void decade_boundaries(int lowest, int highest, int digits) {
  for (int k = lowest; k <= highest; ++k) {
    const T p = static_cast<T>(std::strtold(("1e" + std::to_string(k)).c_str(), nullptr));
    if (p == 0 || std::isinf(p)) continue;
    around(p, 3);
    for (int n : {digits, digits + 1})
      around(static_cast<T>(static_cast<long double>(p) *
                            (1.0L - 5.0L * std::pow(10.0L, -(n + 1)))), 3);
  }
}

TEST(ListNumberDifferential, BoundariesTiesSpecialValuesAndAShortRandomSample) {
  failures = 0;
  decade_boundaries<double>(-325, 309, 15);
  decade_boundaries<float>(-46, 39, 7);
  // The last fixed values and the first in exponent form, ties among them;
  // subnormals, the smallest normal, the largest finite value.
  for (double x : {1e15 - 0.5, 1e15 - 1.5, 1e15 + 0.5, 0.1, 0.095, 0.0999999999999999995,
                   D::denorm_min(), D::min(), D::max()})
    around(x, 8);
  for (float x : {9999999.5f, 0.1f, F::denorm_min(), F::min(), F::max()}) around(x, 8);
  for (std::uint64_t bits : {0x0ull, 0x7FF0000000000000ull, 0x7FF8000000000000ull,
                             0xFFF8000000000000ull, 0x7FF4000000000000ull, 0xFFF0000000000001ull})
    around(std::bit_cast<double>(bits), 0),
        around(static_cast<float>(std::bit_cast<double>(bits)), 0);
  check(std::bit_cast<float>(std::uint32_t{0x7F800001})), check(std::bit_cast<float>(~0u));

  // 20,000 of each random kind still finds a power table whose low bits
  // are wrong, which puts about one value in 65,000 one digit off.
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    // Exact ties at the rounding digit, which the fast writer hands to the
    // plain one, and their neighbours, which it settles itself: 15 and 16
    // digits and a half, 15 digits and a 5; for a float 7 digits and a
    // half, 8 digits and a 5; short binary fractions.
    const auto d15 = static_cast<std::int64_t>(100000000000000 + random() % 900000000000000);
    const auto d16 = static_cast<std::int64_t>(1000000000000000 + random() % 3500000000000000);
    around(static_cast<double>(d15) + 0.5, 1);
    around(static_cast<double>(d16) + 0.5, 1);
    around(static_cast<double>(d15 * 10 + 5), 1);
    around(static_cast<float>(1000000 + random() % 7388607) + 0.5f, 1);
    around(static_cast<float>((1000000 + random() % 677721) * 10 + 5), 1);
    around(std::ldexp(static_cast<double>(random() % 100000), -static_cast<int>(random() % 20)), 1);
  }
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int i = 0; i < 20000; ++i) {
    // Any bit pattern; magnitudes from 10^-30 to 10^30, where a run's
    // values lie; subnormals.
    const std::uint64_t bits = random();
    const double x = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 61) - 30);
    const std::uint64_t low = random() & 0x800FFFFFFFFFFFFF;
    const auto low_float = static_cast<std::uint32_t>(random() & 0x807FFFFF);
    for (double y : {std::bit_cast<double>(bits), x, std::bit_cast<double>(low)}) check(y);
    for (float y : {std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 32)),
                    static_cast<float>(x), std::bit_cast<float>(low_float)})
      check(y);
  }
}

// The list-directed number form beyond what the whole runs show: fixed or
// exponent form decided on the value rounded to 15 (double) or 7 (float)
// significant digits, fields of 24 and 15 characters, signs, zeros,
// infinities and NaNs, in the plain writer that the fast one is held to.
TEST(ListNumber, DoublesAndFloatsInEitherForm) {
  const struct { double x; const char* text; } doubles[] = {
      {-0.0123, " -1.230000000000000E-002"}, {-0.0, " -0.000000000000000E+000"},
      {-D::infinity(), "               -Infinity"}, {-D::quiet_NaN(), "                     NaN"},
      {std::nextafter(0.1, 0.0), "  0.100000000000000     "},  // rounded up to 0.1: fixed
      {0.0999999999999999, "  9.999999999999989E-002"},
      {9.999999999999999, "   10.0000000000000     "},  // 15 digits carry into the next decade
      {999999999999999.5, "  9.999999999999995E+014"},  // exact, rounds (to even) up to 10^15
      {std::nextafter(999999999999999.5, 0.0), "   999999999999999.     "},
      {D::denorm_min(), "  4.940656458412465E-324"}, {D::max(), "  1.797693134862316E+308"}};
  for (const auto& row : doubles) {
    char text[rt::kDoubleField];
    rt::format_double_reference(row.x, text);
    EXPECT_EQ(std::string(text, sizeof text), row.text);
  }
  const struct { float x; const char* text; } floats[] = {
      {-1.5e-5f, " -1.5000000E-05"}, {-0.0f, " -0.0000000E+00"},
      {9999999.0f, "   9999999.    "}, {1e7f, "  1.0000000E+07"},
      {std::nextafter(0.1f, 0.0f), "  9.9999994E-02"},  // a float's ulp: still below 0.1
      {F::denorm_min(), "  1.4012985E-45"}, {F::max(), "  3.4028235E+38"},
      {F::infinity(), "       Infinity"}, {F::quiet_NaN(), "            NaN"}};
  for (const auto& row : floats) {
    char text[rt::kFloatField];
    rt::format_float_reference(row.x, text);
    EXPECT_EQ(std::string(text, sizeof text), row.text);
  }
}

}  // namespace
