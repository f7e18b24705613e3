// The list-directed number form beyond what the whole runs show: fixed or
// exponent form decided on the value rounded to 15 (double) or 7 (float)
// significant digits, fields of 24 and 15 characters, signs, zeros,
// infinities and NaNs. (The fast writer is held to this one apart.)

#include "runtime/io/list_number_reference.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "runtime/io/list_number.hpp"

namespace {

using D = std::numeric_limits<double>;
using F = std::numeric_limits<float>;

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
