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

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"

namespace {

// Compares both writers on each value; reports the first few differences
// with the value's bits, so that a failure can be replayed.
class Differential {
 public:
  void check(double x) { compare(x, std::bit_cast<std::uint64_t>(x), rt::format_double,
                                 rt::format_double_reference, rt::kDoubleField); }
  void check(float x) { compare(x, std::bit_cast<std::uint32_t>(x), rt::format_float,
                                rt::format_float_reference, rt::kFloatField); }
  // The value, ulps units in the last place either side, both signs.
  template <typename T>
  void around(T x, int ulps) {
    T below = x, above = x;
    check(x);
    check(-x);
    for (int i = 0; i < ulps; ++i) {
      below = std::nextafter(below, T(0));
      above = std::nextafter(above, std::numeric_limits<T>::infinity());
      for (T y : {below, above, -below, -above}) check(y);
    }
  }

 private:
  template <typename T>
  void compare(T x, std::uint64_t bits, void (*fast)(T, char*), void (*plain)(T, char*),
               std::size_t n) {
    char a[rt::kDoubleField], b[rt::kDoubleField];
    fast(x, a);
    plain(x, b);
    if (std::memcmp(a, b, n) != 0 && ++failures_ <= 20)
      ADD_FAILURE() << "bits 0x" << std::hex << bits << std::dec << ": fast |"
                    << std::string(a, n) << "| plain |" << std::string(b, n) << "|";
  }
  int failures_ = 0;
};

// 10^k and the value whose rounding to 15 (or 7) digits carries into 10^k,
// with their neighbours; 0.1 and 10^15 (10^7) are among them.
template <typename T>
void decade_boundaries(Differential& d, int lowest, int highest, int digits) {
  for (int k = lowest; k <= highest; ++k) {
    const std::string text = "1e" + std::to_string(k);
    const T p = static_cast<T>(std::strtold(text.c_str(), nullptr));
    if (p == 0 || std::isinf(p)) continue;
    d.around(p, 3);
    // 10^k (1 - 5 10^-(digits+1)): below it the digits stay 99..9 at the
    // lower exponent, from it on they round up to 10^k; the same one digit
    // further for the exponent form's extra digit.
    for (int n : {digits, digits + 1})
      d.around(static_cast<T>(static_cast<long double>(p) *
                              (1.0L - 5.0L * std::pow(10.0L, -(n + 1)))), 3);
  }
}

TEST(ListNumberDifferential, BoundariesOfTheFormsAndTheRounding) {
  Differential d;
  decade_boundaries<double>(d, -325, 309, 15);
  decade_boundaries<float>(d, -46, 39, 7);
  // The last fixed value and the first in exponent form: 10^15 - 0.5 (a
  // tie) and 10^7 - 0.5 (for a float, the floats either side of it).
  for (double x : {1e15 - 0.5, 1e15 - 1.5, 1e15 + 0.5, 0.1, 0.095, 0.0999999999999999995})
    d.around(x, 8);
  for (float x : {9999999.5f, 0.1f}) d.around(x, 8);
  // Subnormals, the smallest normal, the largest finite value.
  using D = std::numeric_limits<double>;
  using F = std::numeric_limits<float>;
  for (double x : {D::denorm_min(), D::min(), D::max()}) d.around(x, 8);
  for (float x : {F::denorm_min(), F::min(), F::max()}) d.around(x, 8);
  // Zeros and the values that are not numbers.
  for (double x : {0.0, D::infinity(), D::quiet_NaN(), -D::quiet_NaN(), D::signaling_NaN(),
                   std::bit_cast<double>(std::uint64_t{0xFFF0000000000001})})
    d.around(x, 0), d.around(static_cast<float>(x), 0);
  d.check(std::bit_cast<float>(std::uint32_t{0x7F800001}));
  d.check(std::bit_cast<float>(std::uint32_t{0xFFFFFFFF}));
}

// A short sample of each random kind; the long runs live in the benchmark.
// 20,000 of each still finds a table whose low bits are wrong, which puts
// about one value in 65,000 one digit off.
TEST(ListNumberDifferential, ShortRandomSample) {
  Differential d;
  std::mt19937_64 random(7);
  for (int i = 0; i < 2000; ++i) {
    // Exact ties at the rounding digit, which the fast writer passes to the
    // plain one, and their neighbours, which it settles itself: 15 digits
    // and a half, 16 digits and a half, 15 digits and a 5; for a float 7
    // digits and a half, 8 digits and a 5; short binary fractions.
    const auto d15 = static_cast<std::int64_t>(100000000000000 + random() % 900000000000000);
    const auto d16 = static_cast<std::int64_t>(1000000000000000 + random() % 3500000000000000);
    d.around(static_cast<double>(d15) + 0.5, 1);
    d.around(static_cast<double>(d16) + 0.5, 1);
    d.around(static_cast<double>(d15 * 10 + 5), 1);
    d.around(static_cast<float>(1000000 + random() % 7388607) + 0.5f, 1);
    d.around(static_cast<float>((1000000 + random() % 677721) * 10 + 5), 1);
    const int shift = -static_cast<int>(random() % 20);
    d.around(std::ldexp(static_cast<double>(random() % 100000), shift), 1);
  }
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  for (int i = 0; i < 20000; ++i) {
    // Any bit pattern; digits at a magnitude from 10^-30 to 10^30, where a
    // run's values lie; subnormals.
    const std::uint64_t bits = random();
    d.check(std::bit_cast<double>(bits));
    d.check(std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 32)));
    const double x = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 61) - 30);
    d.check(x);
    d.check(static_cast<float>(x));
    d.check(std::bit_cast<double>(random() & 0x800FFFFFFFFFFFFF));
    d.check(std::bit_cast<float>(static_cast<std::uint32_t>(random() & 0x807FFFFF)));
  }
}

}  // namespace
