// The list-directed number form: fixed or exponent form decided on the value
// rounded to 15 (double) or 7 (float) significant digits, fields of 24 and
// 15 characters.

#include "runtime/io/list_number.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

std::string d(double x) {
  char out[rt::kDoubleField];
  rt::format_double(x, out);
  return std::string(out, sizeof out);
}

std::string f(float x) {
  char out[rt::kFloatField];
  rt::format_float(x, out);
  return std::string(out, sizeof out);
}

TEST(ListNumber, DoublesInBothForms) {
  EXPECT_EQ(d(0.5), "  0.500000000000000     ");
  EXPECT_EQ(d(1.0), "   1.00000000000000     ");
  EXPECT_EQ(d(1224.0), "   1224.00000000000     ");
  EXPECT_EQ(d(123456789012345.6), "   123456789012346.     ");
  EXPECT_EQ(d(0.0123), "  1.230000000000000E-002");
  EXPECT_EQ(d(-0.5), " -0.500000000000000     ");
  EXPECT_EQ(d(-0.0123), " -1.230000000000000E-002");
  EXPECT_EQ(d(4.144268500000001E-002), "  4.144268500000001E-002");
}

TEST(ListNumber, DoubleZeroInfinityAndNaN) {
  EXPECT_EQ(d(0.0), "  0.000000000000000E+000");
  EXPECT_EQ(d(-0.0), " -0.000000000000000E+000");
  EXPECT_EQ(d(std::numeric_limits<double>::infinity()), "                Infinity");
  EXPECT_EQ(d(-std::numeric_limits<double>::infinity()), "               -Infinity");
  EXPECT_EQ(d(std::numeric_limits<double>::quiet_NaN()), "                     NaN");
  EXPECT_EQ(d(-std::numeric_limits<double>::quiet_NaN()), "                     NaN");
}

TEST(ListNumber, DoubleBoundariesFollowTheRoundedValue) {
  // Just below 0.1 rounds up to 0.100000000000000: still the fixed form.
  EXPECT_EQ(d(std::nextafter(0.1, 0.0)), "  0.100000000000000     ");
  EXPECT_EQ(d(std::nextafter(0.1, 1.0)), "  0.100000000000000     ");
  EXPECT_EQ(d(0.0999999999999999), "  9.999999999999989E-002");
  // Rounding to 15 digits can carry into the next decade.
  EXPECT_EQ(d(9.999999999999999), "   10.0000000000000     ");
  EXPECT_EQ(d(0.9999999999999999), "   1.00000000000000     ");
  // 10^15 - 0.5 is exact in binary and rounds (to even) up to 10^15.
  EXPECT_EQ(d(999999999999999.5), "  9.999999999999995E+014");
  EXPECT_EQ(d(std::nextafter(999999999999999.5, 0.0)), "   999999999999999.     ");
  EXPECT_EQ(d(1e15), "  1.000000000000000E+015");
  EXPECT_EQ(d(99999999999999.9), "   99999999999999.9     ");
}

TEST(ListNumber, DoubleExtremes) {
  EXPECT_EQ(d(std::numeric_limits<double>::denorm_min()), "  4.940656458412465E-324");
  EXPECT_EQ(d(std::numeric_limits<double>::max()), "  1.797693134862316E+308");
  EXPECT_EQ(d(-std::numeric_limits<double>::min()), " -2.225073858507201E-308");
  EXPECT_EQ(d(1e100), "  1.000000000000000E+100");
}

TEST(ListNumber, Floats) {
  EXPECT_EQ(f(0.5f), "  0.5000000    ");
  EXPECT_EQ(f(1.5e-5f), "  1.5000000E-05");
  EXPECT_EQ(f(0.0f), "  0.0000000E+00");
  EXPECT_EQ(f(-0.0f), " -0.0000000E+00");
  EXPECT_EQ(f(0.2696178f), "  0.2696178    ");
  EXPECT_EQ(f(0.1f), "  0.1000000    ");
  EXPECT_EQ(f(9999999.0f), "   9999999.    ");
  EXPECT_EQ(f(1e7f), "  1.0000000E+07");
  // A float's unit in the last place is wide enough that just below 0.1
  // stays below it at 7 digits.
  EXPECT_EQ(f(std::nextafter(0.1f, 0.0f)), "  9.9999994E-02");
  EXPECT_EQ(f(0.09999999f), "  9.9999987E-02");
  EXPECT_EQ(f(std::numeric_limits<float>::denorm_min()), "  1.4012985E-45");
  EXPECT_EQ(f(std::numeric_limits<float>::max()), "  3.4028235E+38");
  EXPECT_EQ(f(-std::numeric_limits<float>::infinity()), "      -Infinity");
  EXPECT_EQ(f(std::numeric_limits<float>::quiet_NaN()), "            NaN");
}

}  // namespace
