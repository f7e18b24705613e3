// Nose wetted areas worked out by hand, and the IEEE results of zero
// dimensions that flow on into the drag terms.

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Nariz_geometria.hpp"

namespace {

constexpr double PI = 3.141592653589793;

double nariz(int NA, double LNA, double DNA) {
  double SWETNA = -1.0;
  arrasto::NARIZGEO(PI, NA, LNA, DNA, SWETNA);
  return SWETNA;
}

TEST(NoseArea, ShapesWorkedOutByHand) {
  EXPECT_DOUBLE_EQ(nariz(3, 40.0, 60.0), PI * 30.0 * 50.0);  // cone, slant 50
  EXPECT_EQ(nariz(3, 100.0, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(nariz(2, 10.0, 20.0), 2.0 * PI * 100.0);  // ogive with l = r: hemisphere
  // A half-ellipsoid of length 2r has the area of a prolate spheroid's half.
  const double e = std::sqrt(1.0 - 0.25);
  EXPECT_DOUBLE_EQ(nariz(1, 20.0, 20.0), PI * (100.0 + 200.0 * std::asin(e) / e));
}

TEST(NoseArea, FlatParaboloidExceedsItsBaseDiscByTheSquareOfItsSlenderness) {
  const double disc = PI * 100.0 * 100.0;
  const double excess1 = nariz(4, 1.0, 200.0) / disc - 1.0;  // l = r / 100
  const double excess2 = nariz(4, 0.5, 200.0) / disc - 1.0;  // l = r / 200
  EXPECT_GT(excess1, 0.9e-4);
  EXPECT_LT(excess1, 1.1e-4);
  EXPECT_NEAR(excess1 / excess2, 4.0, 0.01);
}

TEST(NoseArea, ZeroDimensions) {
  struct Case {
    int NA;
    double r0, l0, both;  // r = 0; l = 0; both 0 (NaN stands for not-a-number)
  };
  const double nan = std::nan("");
  const double disc = PI * 5.0 * 5.0;
  for (const Case& c : {Case{1, 0.0, nan, nan}, Case{2, nan, 0.0, nan}, Case{3, 0.0, disc, 0.0},
                        Case{4, 0.0, nan, nan}}) {
    SCOPED_TRACE(c.NA);
    const auto same = [](double expected, double actual) {
      if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
      else
        EXPECT_DOUBLE_EQ(actual, expected);
    };
    same(c.r0, nariz(c.NA, 10.0, 0.0));
    same(c.l0, nariz(c.NA, 0.0, 10.0));
    same(c.both, nariz(c.NA, 0.0, 0.0));
  }
  EXPECT_TRUE(std::isnan(nariz(1, 10.0, 30.0)));  // half-ellipsoid wider than long
  EXPECT_TRUE(std::isnan(nariz(1, 10.0, 20.0)));  // r = l: 0/0
  EXPECT_EQ(nariz(5, 10.0, 20.0), -1.0);          // unknown shape: not written
}

}  // namespace
