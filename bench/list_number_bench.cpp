// Numbers a second for the fast and the plain list-directed writers, and a
// long differential run of the fast writer against the plain one.

#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"

namespace {

// Values of every decade from 10^-30 to 10^30, so that both sides of the
// fixed/exponent boundaries (0.1 and 10^15 for a double, 0.1 and 10^7 for a
// float) are well represented, with random signs and digits.
std::vector<double> spread() {
  std::mt19937_64 random(12345);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::vector<double> values;
  for (int i = 0; i < 4096; ++i) {
    const int decade = i % 61 - 30;
    double x = mantissa(random) * std::pow(10.0, decade);
    if (random() & 1) x = -x;
    values.push_back(x);
  }
  return values;
}

// Values like those of a sweep: Mach numbers, speeds and drag coefficients.
std::vector<double> curve() {
  std::vector<double> values;
  for (int i = 1; i <= 4096; ++i) {
    const double M = (0.9 / 4096.0) * i;
    values.push_back(M);
    values.push_back(M * 1224.0);
    values.push_back(0.45 + 0.4 * M * M);
  }
  return values;
}

template <void (*Write)(double, char*)>
void doubles(benchmark::State& state, const std::vector<double>& values) {
  char field[rt::kDoubleField];
  std::size_t n = 0;
  for (auto _ : state) {
    for (const double x : values) {
      Write(x, field);
      benchmark::DoNotOptimize(field);
    }
    n += values.size();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(n));
}

template <void (*Write)(float, char*)>
void floats(benchmark::State& state, const std::vector<double>& values) {
  std::vector<float> narrow(values.begin(), values.end());
  char field[rt::kFloatField];
  std::size_t n = 0;
  for (auto _ : state) {
    for (const float x : narrow) {
      Write(x, field);
      benchmark::DoNotOptimize(field);
    }
    n += narrow.size();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(n));
}

void BM_double_fast_spread(benchmark::State& s) { doubles<rt::format_double>(s, spread()); }
void BM_double_plain_spread(benchmark::State& s) {
  doubles<rt::format_double_reference>(s, spread());
}
void BM_double_fast_curve(benchmark::State& s) { doubles<rt::format_double>(s, curve()); }
void BM_double_plain_curve(benchmark::State& s) {
  doubles<rt::format_double_reference>(s, curve());
}
void BM_float_fast_spread(benchmark::State& s) { floats<rt::format_float>(s, spread()); }
void BM_float_plain_spread(benchmark::State& s) {
  floats<rt::format_float_reference>(s, spread());
}
BENCHMARK(BM_double_fast_spread);
BENCHMARK(BM_double_plain_spread);
BENCHMARK(BM_double_fast_curve);
BENCHMARK(BM_double_plain_curve);
BENCHMARK(BM_float_fast_spread);
BENCHMARK(BM_float_plain_spread);

// The long differential run: per iteration a million random bit patterns as
// doubles and as floats (every exponent, subnormals, infinities and NaNs
// included), each written by both writers and compared. Any difference
// stops the benchmark with an error naming the value.
void BM_differential_long(benchmark::State& state) {
  std::mt19937_64 random(20240605);
  std::size_t n = 0;
  for (auto _ : state) {
    for (int i = 0; i < 1000000; ++i) {
      const std::uint64_t bits = random();
      const double x = std::bit_cast<double>(bits);
      const float y = std::bit_cast<float>(static_cast<std::uint32_t>(bits >> 17));
      char fast[rt::kDoubleField], plain[rt::kDoubleField];
      rt::format_double(x, fast);
      rt::format_double_reference(x, plain);
      if (std::memcmp(fast, plain, sizeof fast) != 0) {
        state.SkipWithError(("double differs: bits " + std::to_string(bits)).c_str());
        return;
      }
      rt::format_float(y, fast);
      rt::format_float_reference(y, plain);
      if (std::memcmp(fast, plain, rt::kFloatField) != 0) {
        state.SkipWithError(("float differs: bits " + std::to_string(static_cast<std::uint32_t>(bits >> 17))).c_str());
        return;
      }
    }
    n += 2000000;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(n));
}
BENCHMARK(BM_differential_long)->Iterations(50)->Unit(benchmark::kMillisecond);

}  // namespace
