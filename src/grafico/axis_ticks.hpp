#pragma once
// Axis ranges and ticks at round values: a step of 1, 2 or 5 times a power
// of ten, the smallest that keeps the number of intervals within a limit.

#include <string>
#include <vector>

namespace grafico {

struct Tick {
  double value;
  std::string label;  // exact decimal; every label of an axis has as many digits after the point
};

struct Axis {
  double lo;
  double hi;
  std::vector<Tick> ticks;
};

// An axis that holds 0 and [lo, hi] (lo <= hi), its ends widened out to
// whole steps; at most max_intervals steps. Drag and Mach are drawn from 0
// so that the picture shows their size, not only their changes. An end
// beyond the largest double counts as the largest double.
Axis axis_from_zero(double lo, double hi, int max_intervals);

// The ticks of a round step that fall within [lo, hi], the ends kept: a
// second scale along an axis whose range is already fixed. Ticks stop at
// the largest double; a range with a NaN end has none.
Axis ticks_within(double lo, double hi, int max_intervals);

// The smallest d × 10^k above x (x > 0; d a digit 1 to 9), as an exact
// decimal: a plain bound for a value, "below Mach 0.04". Above the largest
// double, "2e308"; "0" for x <= 0.
std::string one_digit_above(double x);

}  // namespace grafico
