#include "grafico/axis_ticks.hpp"

#include <gtest/gtest.h>

#include <string>

using grafico::Axis;

namespace {

std::string labels(const Axis& axis) {
  std::string out;
  for (const auto& tick : axis.ticks) {
    if (!out.empty()) out += ' ';
    out += tick.label;
  }
  return out;
}

TEST(AxisTicks, WidensToRoundValuesFromZero) {
  const Axis mach = grafico::axis_from_zero(0.1, 0.9, 10);
  EXPECT_EQ(mach.lo, 0.0);
  EXPECT_EQ(mach.hi, 0.9);
  EXPECT_EQ(labels(mach), "0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9");

  // 0.07 / 0.01 is a hair above 7 in doubles; the axis must still end at 0.07.
  const Axis small = grafico::axis_from_zero(0.01, 0.07, 10);
  EXPECT_EQ(small.hi, 0.07);
  EXPECT_EQ(labels(grafico::axis_from_zero(0.17, 0.83, 5)), "0.0 0.2 0.4 0.6 0.8 1.0");
  EXPECT_EQ(labels(grafico::axis_from_zero(120, 12345, 10)), "0 2000 4000 6000 8000 10000 12000 14000");
  EXPECT_EQ(labels(grafico::axis_from_zero(-0.03, 0.011, 10)), "-0.030 -0.025 -0.020 -0.015 -0.010 -0.005 0.000 0.005 0.010 0.015");
  EXPECT_EQ(labels(grafico::axis_from_zero(0, 0, 10)), "0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0");
}

TEST(AxisTicks, LabelsVeryLargeAndSmallInExponentForm) {
  EXPECT_EQ(labels(grafico::axis_from_zero(0, 2.6e12, 6)), "0 5e11 1e12 1.5e12 2e12 2.5e12 3e12");
  EXPECT_EQ(labels(grafico::axis_from_zero(0, 3e-11, 3)), "0 1e-11 2e-11 3e-11");
  // Subnormal values: no power of ten divides down to them.
  EXPECT_EQ(labels(grafico::axis_from_zero(0, 3e-320, 3)), "0 1e-320 2e-320 3e-320");
  EXPECT_EQ(labels(grafico::axis_from_zero(0, 5e-324, 2)), "0 5e-324");
}

TEST(AxisTicks, OneDigitAboveIsStrictlyAbove) {
  const struct {
    double x;
    const char* text;
  } cases[] = {{0.03, "0.04"}, {0.027, "0.03"}, {0.0299, "0.03"}, {0.09, "0.1"}, {0.95, "1"}, {3, "4"}, {1e-320, "2e-320"}};
  for (const auto& c : cases) EXPECT_EQ(grafico::one_digit_above(c.x), c.text) << c.x;
}

TEST(AxisTicks, SecondScaleKeepsItsEnds) {
  const Axis speed = grafico::ticks_within(0, 0.9 * 1224, 7);
  EXPECT_EQ(speed.hi, 0.9 * 1224);
  EXPECT_EQ(labels(speed), "0 200 400 600 800 1000");
  EXPECT_EQ(labels(grafico::ticks_within(130, 1101.6, 7)), "200 400 600 800 1000");
  // 0.3 / 0.1 is a hair below 3: the tick at the end is still within.
  EXPECT_EQ(labels(grafico::ticks_within(0, 0.3, 3)), "0.0 0.1 0.2 0.3");
}

}  // namespace
