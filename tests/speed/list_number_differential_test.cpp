// The fast list-directed writers give exactly the characters of the plain
// std::to_chars ones: on every boundary of the two forms and of the
// rounding, on exact ties, on the special values, and on a few million
// random values from a fixed seed.
//
// Size: kRandomCount values of each random kind in an optimised build,
// half of that in an unoptimised one (assertions on) and half again under
// AddressSanitizer, so that the suite stays within a few seconds.
// ARRASTO_DIFFERENTIAL_COUNT in the environment sets the count; the bench
// preset's arrasto_bench has a longer run.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"

#if defined(__SANITIZE_ADDRESS__)
#define ARRASTO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ARRASTO_UNDER_ASAN 1
#endif
#endif

namespace {

constexpr long kRandomCount = 2'000'000;

long random_count() {
  if (const char* set = std::getenv("ARRASTO_DIFFERENTIAL_COUNT")) return std::atol(set);
  long n = kRandomCount;
#ifndef NDEBUG
  n /= 2;
#endif
#ifdef ARRASTO_UNDER_ASAN
  n /= 2;
#endif
  return n;
}

// Compares both writers on each value; reports the first few differences
// with the value's bits, so that a failure can be replayed.
class Differential {
 public:
  void check(double x) {
    char fast[rt::kDoubleField], plain[rt::kDoubleField];
    rt::format_double(x, fast);
    rt::format_double_reference(x, plain);
    if (std::memcmp(fast, plain, sizeof fast) != 0)
      report(std::bit_cast<std::uint64_t>(x), x, fast, plain, sizeof fast);
    ++count_;
  }
  void check(float x) {
    char fast[rt::kFloatField], plain[rt::kFloatField];
    rt::format_float(x, fast);
    rt::format_float_reference(x, plain);
    if (std::memcmp(fast, plain, sizeof fast) != 0)
      report(std::bit_cast<std::uint32_t>(x), x, fast, plain, sizeof fast);
    ++count_;
  }
  // The value, ulps units in the last place either side, both signs.
  template <typename T>
  void around(T x, int ulps) {
    T below = x, above = x;
    check(x);
    check(-x);
    for (int i = 0; i < ulps; ++i) {
      below = std::nextafter(below, T(0));
      above = std::nextafter(above, std::numeric_limits<T>::infinity());
      check(below);
      check(above);
      check(-below);
      check(-above);
    }
  }
  long count() const { return count_; }

 private:
  void report(std::uint64_t bits, double x, const char* fast, const char* plain, std::size_t n) {
    if (++failures_ > 20) return;
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", x);
    ADD_FAILURE() << "bits 0x" << std::hex << bits << std::dec << " (" << text << "): fast |"
                  << std::string(fast, n) << "| plain |" << std::string(plain, n) << "|";
  }
  long count_ = 0;
  int failures_ = 0;
};

template <typename T>
T power_of_ten(int k) {
  // The double or float nearest 10^k, through the decimal reader.
  const std::string text = "1e" + std::to_string(k);
  if constexpr (sizeof(T) == sizeof(double))
    return std::strtod(text.c_str(), nullptr);
  else
    return std::strtof(text.c_str(), nullptr);
}

// 10^k and the value whose rounding to 15 (or 7) digits carries into 10^k,
// with their neighbours; 0.1 and 10^15 (10^7) are among them.
template <typename T>
void decade_boundaries(Differential& d, int lowest, int highest, int digits) {
  for (int k = lowest; k <= highest; ++k) {
    const T p = power_of_ten<T>(k);
    if (p == 0 || std::isinf(p)) continue;
    d.around(p, 3);
    // 10^k (1 - 5 10^-(digits+1)): below it the digits stay 99..9 at the
    // lower exponent, from it on they round up to 10^k; the same one digit
    // further for the exponent form's extra digit.
    for (int n : {digits, digits + 1}) {
      const T carry = static_cast<T>(static_cast<long double>(p) *
                                     (1.0L - 5.0L * std::pow(10.0L, -(n + 1))));
      d.around(carry, 3);
    }
  }
}

TEST(ListNumberDifferential, BoundariesOfTheFormsAndTheRounding) {
  Differential d;
  decade_boundaries<double>(d, -325, 309, 15);
  decade_boundaries<float>(d, -46, 39, 7);
  // The last fixed value and the first in exponent form: 10^15 - 0.5 (a
  // tie) and 10^7 - 0.5 (for a float, the floats either side of it).
  d.around(1e15 - 0.5, 8);
  d.around(1e15 - 1.5, 8);
  d.around(1e15 + 0.5, 8);
  d.around(9999999.5f, 8);
  d.around(0.1, 8);
  d.around(0.1f, 8);
  d.around(0.095, 8);
  d.around(0.0999999999999999995, 8);
  // Subnormals, the smallest normal, the largest finite value.
  d.around(std::numeric_limits<double>::denorm_min(), 8);
  d.around(std::numeric_limits<double>::min(), 8);
  d.around(std::numeric_limits<double>::max(), 8);
  d.around(std::numeric_limits<float>::denorm_min(), 8);
  d.around(std::numeric_limits<float>::min(), 8);
  d.around(std::numeric_limits<float>::max(), 8);
  // Zeros and the values that are not numbers.
  for (double x : {0.0, -0.0, std::numeric_limits<double>::infinity(),
                   -std::numeric_limits<double>::infinity(),
                   std::numeric_limits<double>::quiet_NaN(),
                   -std::numeric_limits<double>::quiet_NaN(),
                   std::numeric_limits<double>::signaling_NaN(),
                   std::bit_cast<double>(std::uint64_t{0xFFF0000000000001})}) {
    d.check(x);
    d.check(static_cast<float>(x));
  }
  d.check(std::bit_cast<float>(std::uint32_t{0x7F800001}));
  d.check(std::bit_cast<float>(std::uint32_t{0xFFFFFFFF}));
  EXPECT_GT(d.count(), 20000);
}

// Exact ties at the rounding digit, which the fast writer passes to the
// plain one, and their neighbours, which it settles itself.
TEST(ListNumberDifferential, ExactTiesAndTheirNeighbours) {
  Differential d;
  std::mt19937_64 random(7);
  const long n = random_count() / 20;
  for (long i = 0; i < n; ++i) {
    // 15 digits and a half: fixed form at 10^14; 16 digits and a half, the
    // exponent form's rounding; 15 digits and a 5, a 16-digit integer.
    const auto d15 = static_cast<std::int64_t>(100000000000000 + random() % 900000000000000);
    const auto d16 = static_cast<std::int64_t>(1000000000000000 + random() % 3500000000000000);
    d.around(static_cast<double>(d15) + 0.5, 1);
    d.around(static_cast<double>(d16) + 0.5, 1);
    d.around(static_cast<double>(d15 * 10 + 5), 1);
    // The float equivalents: 7 digits and a half, 8 digits and a 5.
    const auto f7 = static_cast<std::int32_t>(1000000 + random() % 7388607);
    d.around(static_cast<float>(f7) + 0.5f, 1);
    d.around(static_cast<float>((1000000 + random() % 677721) * 10 + 5), 1);
    // Short binary fractions with few decimal digits.
    d.around(std::ldexp(static_cast<double>(random() % 100000), -static_cast<int>(random() % 20)), 1);
  }
  EXPECT_GT(d.count(), n);
}

TEST(ListNumberDifferential, RandomBitPatternsOverTheWholeRange) {
  Differential d;
  std::mt19937_64 random(20240605);
  const long n = random_count();
  for (long i = 0; i < n; ++i) {
    const std::uint64_t bits = random();
    d.check(std::bit_cast<double>(bits));
    d.check(std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 32)));
  }
  EXPECT_EQ(d.count(), 2 * n);
}

// Random digits at random decimal magnitudes from 10^-30 to 10^30, where the
// values of a run lie, and random subnormals.
TEST(ListNumberDifferential, RandomValuesByDecade) {
  Differential d;
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  const long n = random_count() / 2;
  for (long i = 0; i < n; ++i) {
    const double x = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 61) - 30);
    d.check(x);
    d.check(static_cast<float>(x));
    d.check(std::bit_cast<double>(random() & 0x800FFFFFFFFFFFFF));  // subnormal
    d.check(std::bit_cast<float>(static_cast<std::uint32_t>(random() & 0x807FFFFF)));
  }
  EXPECT_EQ(d.count(), 4 * n);
}

}  // namespace
