// Nose wetted areas and the derived geometry worked out by hand, and the
// IEEE results of zero dimensions that flow on into the drag terms.

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/Geometria_derivada.hpp"
#include "geometry/Nariz_geometria.hpp"

namespace {

constexpr double PI = 3.141592653589793;
const double kNaN = std::nan("");

double nariz(int NA, double LNA, double DNA) {
  double SWETNA = -1.0;
  arrasto::NARIZGEO(PI, NA, LNA, DNA, SWETNA);
  return SWETNA;
}

TEST(NoseArea, ShapesAndZeroDimensions) {
  const double e = std::sqrt(0.75);  // half-ellipsoid of length 2r
  const struct { int NA; double LNA, DNA, SWETNA; } rows[] = {
      {3, 40.0, 60.0, PI * 30.0 * 50.0},  // cone, slant 50
      {2, 10.0, 20.0, 2.0 * PI * 100.0},  // ogive with l = r: hemisphere
      {2, 30.0, 20.0, PI * 100.0 * (-800.0 * std::asin(0.6) / 20.0 + 30.0)},
      {1, 20.0, 20.0, PI * (100.0 + 200.0 * std::asin(e) / e)},
      {1, 10.0, 30.0, kNaN},  // half-ellipsoid wider than long
      {1, 10.0, 20.0, kNaN},  // r = l: 0/0
      {4, 20.0, 20.0, PI * 10.0 / 2400.0 * (std::pow(1700.0, 1.5) - 1000.0)},
      // r = 0; l = 0; both 0.
      {1, 10.0, 0.0, 0.0}, {1, 0.0, 10.0, kNaN}, {1, 0.0, 0.0, kNaN},
      {2, 10.0, 0.0, kNaN}, {2, 0.0, 10.0, 0.0}, {2, 0.0, 0.0, kNaN},
      {3, 10.0, 0.0, 0.0}, {3, 0.0, 10.0, PI * 25.0}, {3, 0.0, 0.0, 0.0},
      {4, 10.0, 0.0, 0.0}, {4, 0.0, 10.0, kNaN}, {4, 0.0, 0.0, kNaN},
      {5, 10.0, 20.0, -1.0}};  // unknown shape: not written
  for (const auto& row : rows) {
    const double SWETNA = nariz(row.NA, row.LNA, row.DNA);
    if (std::isnan(row.SWETNA))
      EXPECT_TRUE(std::isnan(SWETNA)) << row.NA << " " << SWETNA;
    else
      EXPECT_DOUBLE_EQ(SWETNA, row.SWETNA) << row.NA << " " << row.LNA << " " << row.DNA;
  }
}

TEST(DerivedGeometry, NozzleAreaAndLugBore) {
  double SWETC, L, SWET, SREF, SA, SWETE, LE, ST, DITB;
  // Nozzle 20; lug 8 outer with a 1.5 wall, then with a 5 wall: a negative
  // bore, which the lug drag squares.
  for (const double ETB : {1.5, 5.0}) {
    arrasto::GEOMETRIA(PI, 100.0, 500.0, 40.0, 80.0, 40.0, 50.0, 0.0, 20.0, 8.0, ETB, 5000.0,
                       SWETC, L, SWET, SREF, SA, SWETE, LE, ST, DITB);
    EXPECT_DOUBLE_EQ(ST, PI * 100.0);
    EXPECT_EQ(DITB, 8.0 - 2.0 * ETB);
  }
}

}  // namespace
