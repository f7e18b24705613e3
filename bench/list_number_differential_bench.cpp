// The long differential runs of the fast number writer against the plain
// one, beside BM_differential_long's random bit patterns: exact ties at the
// rounding digit with their neighbours, and random digits at every decade
// from 10^-30 to 10^30 with random subnormals. Each iteration checks a
// million values or more; any difference stops the run naming the value.

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"

namespace {

// Both writers on x; false (and the run stopped) when they differ.
template <typename T>
bool same(benchmark::State& state, T x) {
  char fast[rt::kDoubleField], plain[rt::kDoubleField];
  std::size_t n;
  if constexpr (sizeof(T) == sizeof(double)) {
    rt::format_double(x, fast), rt::format_double_reference(x, plain), n = rt::kDoubleField;
  } else {
    rt::format_float(x, fast), rt::format_float_reference(x, plain), n = rt::kFloatField;
  }
  if (std::memcmp(fast, plain, n) == 0) return true;
  state.SkipWithError(("writers differ on " + std::string(plain, n)).c_str());
  return false;
}

// x and its neighbours either side, both signs.
template <typename T>
bool around(benchmark::State& state, T x) {
  const T below = std::nextafter(x, T(0)), above = std::nextafter(x, T(2) * x);
  for (T y : {x, below, above, -x, -below, -above})
    if (!same(state, y)) return false;
  return true;
}

void BM_differential_ties(benchmark::State& state) {
  std::mt19937_64 random(7);
  std::int64_t n = 0;
  for (auto _ : state) {
    for (int i = 0; i < 100000; ++i, n += 30) {
      const auto d15 = static_cast<std::int64_t>(100000000000000 + random() % 900000000000000);
      const auto d16 = static_cast<std::int64_t>(1000000000000000 + random() % 3500000000000000);
      const auto f7 = static_cast<float>(1000000 + random() % 7388607) + 0.5f;
      const auto f8 = static_cast<float>((1000000 + random() % 677721) * 10 + 5);
      if (!around(state, static_cast<double>(d15) + 0.5) ||
          !around(state, static_cast<double>(d16) + 0.5) ||
          !around(state, static_cast<double>(d15 * 10 + 5)) || !around(state, f7) ||
          !around(state, f8))
        return;
    }
  }
  state.SetItemsProcessed(n);
}
BENCHMARK(BM_differential_ties)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_differential_decades(benchmark::State& state) {
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::int64_t n = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i, n += 4) {
      const double x = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 61) - 30);
      if (!same(state, x) || !same(state, static_cast<float>(x)) ||
          !same(state, std::bit_cast<double>(random() & 0x800FFFFFFFFFFFFF)) ||
          !same(state, std::bit_cast<float>(static_cast<std::uint32_t>(random() & 0x807FFFFF))))
        return;
    }
  }
  state.SetItemsProcessed(n);
}
BENCHMARK(BM_differential_decades)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
