#include "grafico/axis_ticks.hpp"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

namespace grafico {
namespace {

// A step of mantissa × 10^exponent, kept as integers so that tick labels
// are exact decimals however the double rounds.
struct Step {
  long long mantissa;
  int exponent;
};

// n × 10^e as a double, correctly rounded, subnormal values included (a
// power of ten below 1e-308 is not a double, so no quotient of one gives them).
double decimal_value(long long n, int e) {
  const std::string text = std::to_string(n) + "e" + std::to_string(e);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return e < 0 ? 0.0 : n > 0 ? HUGE_VAL : -HUGE_VAL;
  return value;
}

// The first and last whole step in or around [lo, hi]. A quotient that
// misses a whole number by rounding alone (0.07 / 0.01) counts as whole.
struct StepRange {
  double first;
  double last;
};
StepRange whole_steps(double lo, double hi, double step, bool outward) {
  constexpr double kSlack = 1e-9;
  const double a = lo / step, b = hi / step;
  if (outward) return {std::floor(a + kSlack), std::ceil(b - kSlack)};
  return {std::ceil(a - kSlack), std::floor(b + kSlack)};
}

// lo < hi, both finite: the span, or half of it, is a positive finite
// double, and its logarithm lies between -324 and 309.
Step round_step(double lo, double hi, int max_intervals, bool outward) {
  // Halves only when the span overflows: halving a subnormal span rounds it.
  const double log_span = std::isfinite(hi - lo) ? std::log10(hi - lo) : std::log10(hi / 2 - lo / 2) + std::log10(2.0);
  int e = static_cast<int>(std::floor(log_span - std::log10(static_cast<double>(max_intervals))));
  for (;; ++e) {
    for (const long long m : {1, 2, 5}) {
      const double step = decimal_value(m, e);
      if (step == 0) continue;  // below the smallest double
      if (!std::isfinite(step)) return {m, e};
      const StepRange r = whole_steps(lo, hi, step, outward);
      if (r.last - r.first <= max_intervals) return {m, e};
    }
  }
}

std::string digits_of(long long n) { return std::to_string(n < 0 ? -n : n); }

// The text of n × 10^e: plain digits with -e digits after the point, or the
// exponent form when the value is too large or too small for plain digits.
std::string decimal_label(long long n, int e) {
  const bool plain = e >= -9 && e <= 6;
  if (n == 0 && (!plain || e >= 0)) return "0";
  const std::string sign = n < 0 ? "-" : "";
  std::string digits = digits_of(n);
  if (!plain) {
    while (digits.size() > 1 && digits.back() == '0') {
      digits.pop_back();
      ++e;
    }
    const int power = e + static_cast<int>(digits.size()) - 1;
    if (digits.size() > 1) digits.insert(1, 1, '.');
    return sign + digits + "e" + std::to_string(power);
  }
  if (e >= 0) return sign + digits + std::string(static_cast<std::size_t>(e), '0');
  const std::size_t shift = static_cast<std::size_t>(-e);
  if (digits.size() <= shift) digits.insert(0, shift - digits.size() + 1, '0');
  const std::size_t point = digits.size() - shift;
  return sign + digits.substr(0, point) + "." + digits.substr(point);
}

Axis make_axis(double lo, double hi, int max_intervals, bool outward) {
  const Step s = round_step(lo, hi, max_intervals, outward);
  const double step = decimal_value(s.mantissa, s.exponent);
  Axis axis{lo, hi, {}};
  if (!std::isfinite(step)) return axis;  // no round step fits in a double
  const StepRange r = whole_steps(lo, hi, step, outward);
  // Labels are built from integer step counts; a range this far from 0
  // for its width would overflow them, and is drawn without ticks.
  constexpr double kMaxSteps = 1e15;
  if (!(std::fabs(r.first) <= kMaxSteps && std::fabs(r.last) <= kMaxSteps)) return axis;
  const auto first = static_cast<long long>(r.first);
  const auto last = static_cast<long long>(r.last);
  for (long long k = first; k <= last; ++k) {
    const double value = decimal_value(k * s.mantissa, s.exponent);
    if (!std::isfinite(value)) continue;  // beyond the largest double
    axis.ticks.push_back({value, decimal_label(k * s.mantissa, s.exponent)});
  }
  if (outward && !axis.ticks.empty()) {
    axis.lo = std::min(lo, axis.ticks.front().value);
    axis.hi = std::max(hi, axis.ticks.back().value);
  }
  return axis;
}

// A range end as the axes take it: an end beyond the largest double (a
// speed of Mach 1e305 in km/h) at the largest double, so that the ticks go
// as far as numbers do; NaN, which has no place on an axis, at 0.
double on_axis(double x) { return std::isnan(x) ? 0.0 : std::clamp(x, -DBL_MAX, DBL_MAX); }

}  // namespace

std::string one_digit_above(double x) {
  x = std::min(x, DBL_MAX);
  if (!(x > 0)) return "0";
  int e = static_cast<int>(std::floor(std::log10(x)));
  // Below 1e-323 a power of ten is no double: start at the smallest that is.
  while (decimal_value(1, e) == 0) ++e;
  // The quotient may round to either side of a whole number; start below
  // and step up to the first value that is really above x.
  long long d = std::max(1LL, static_cast<long long>(x / decimal_value(1, e)) - 1);
  while (decimal_value(d, e) <= x) {
    if (++d == 10) d = 1, ++e;
  }
  return decimal_label(d, e);
}

Axis axis_from_zero(double lo, double hi, int max_intervals) {
  lo = std::min(on_axis(lo), 0.0);
  hi = std::max(on_axis(hi), 0.0);
  if (lo == hi) hi = 1;
  return make_axis(lo, hi, max_intervals, true);
}

Axis ticks_within(double lo, double hi, int max_intervals) {
  if (std::isnan(lo) || std::isnan(hi)) return {lo, hi, {}};
  lo = on_axis(lo);
  hi = on_axis(hi);
  if (!(hi > lo)) return {lo, hi, {}};
  return make_axis(lo, hi, max_intervals, false);
}

}  // namespace grafico
