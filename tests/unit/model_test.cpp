// The geometry and the drag terms where their formulas turn: values worked
// out by hand, the IEEE results that must flow on, the bounds that hold a NaN.

#include <gtest/gtest.h>

#include <cmath>

#include "drag/Cd_atrito.hpp"
#include "drag/Cd_base.hpp"
#include "drag/Cd_interferencia.hpp"
#include "drag/Cd_pressao.hpp"
#include "drag/Cd_tuboguia.hpp"
#include "driver/Unidades.hpp"
#include "geometry/Nariz_geometria.hpp"

namespace {

constexpr double PI = 3.141592653589793;
const double kNaN = std::nan(""), kInf = HUGE_VAL;

// The example rocket at 20 C and 101.325 kPa.
constexpr double TO = ((20.0 + 273.15) * 9.0) / 5.0;
constexpr double PO = 101.325 * 20.885434273;
const double RN = ((8816603.0 * PO) * std::pow(TO, -1.26)) / 304.8;

// What a term writes to its output, which starts as -1.
template <typename Call>
double out(Call call) {
  double value = -1.0;
  call(value);
  return value;
}

// Within a relative tolerance (none by default); NaN matches NaN; a zero's sign counts.
void same(double expected, double actual, double tolerance = 0.0) {
  const double error = actual == expected ? 0.0 : std::abs(actual - expected);
  EXPECT_TRUE(std::isnan(expected) ? std::isnan(actual)
                                   : std::signbit(actual) == std::signbit(expected) &&
                                         (error == 0.0 || error <= tolerance * std::abs(expected)))
      << std::hexfloat << actual << " against " << expected;
}

TEST(Geometry, NoseAreasZeroDimensionsAndInches) {
  const double e = std::sqrt(0.75);  // half-ellipsoid of length 2r
  const struct { int NA; double LNA, DNA, SWETNA; } rows[] = {
      {3, 40.0, 60.0, PI * 30.0 * 50.0},  // cone, slant 50
      {2, 10.0, 20.0, 2.0 * PI * 100.0},  // ogive with l = r: hemisphere
      {2, 30.0, 20.0, PI * 100.0 * (-800.0 * std::asin(0.6) / 20.0 + 30.0)},
      {1, 20.0, 20.0, PI * (100.0 + 200.0 * std::asin(e) / e)},
      {1, 10.0, 30.0, kNaN}, {1, 10.0, 20.0, kNaN},  // half-ellipsoid wider than long; r = l
      {4, 20.0, 20.0, PI * 10.0 / 2400.0 * (std::pow(1700.0, 1.5) - 1000.0)},
      // r = 0, then l = 0, for each shape.
      {1, 10.0, 0.0, 0.0}, {1, 0.0, 10.0, kNaN}, {2, 10.0, 0.0, kNaN}, {2, 0.0, 10.0, 0.0},
      {3, 10.0, 0.0, 0.0}, {3, 0.0, 10.0, PI * 25.0}, {4, 10.0, 0.0, 0.0}, {4, 0.0, 10.0, kNaN}};
  for (const auto& row : rows)
    same(row.SWETNA, out([&](double& SWETNA) {
           arrasto::NARIZGEO(PI, row.NA, row.LNA, row.DNA, SWETNA); }), 1e-15);
  // Inches scale every length (feet: the second whole run).
  double v[13] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2};
  arrasto::POLEGADAS(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11],
                     v[12]);
  EXPECT_EQ(v[0], 25.4);
  EXPECT_EQ(v[12], 50.8);
}

// Where the laminar run ends on the nose or on the tube, the whole runs show.
TEST(Friction, TurbulentFloorNaNAndLaminarRunsBeyondTheBodyAndTheFin) {
  struct Corpo { double CF, CFL, CFT, C, CDAC; };  // ogive nose 120 x 40 of area 9000, tube 40 wide
  const auto corpo = [](double RETC, double M, double LC = 600.0) {
    Corpo c{};
    arrasto::CDATRITOC(TO, PO, RETC, M, c.CF, 9000.0 + (PI * 40.0) * LC, c.CFL, c.CFT, c.C,
                       120.0 + LC, PI * 400.0, c.CDAC, PI, 120.0, 40.0, 2, 9000.0, 40.0);
    return c;
  };
  const double M = 0.5, RETC = 2.0 * 720.0 * (M * RN);  // laminar run of twice L
  EXPECT_EQ(corpo(RETC, M).CFT, 0.0148);
  EXPECT_GT(corpo(RETC, M).CFL, 1.328 / std::sqrt(RETC));  // a laminar area beyond the body
  // A tube ending where the laminar run does: a turbulent share of exactly 0.
  EXPECT_EQ(corpo(RETC, M, RETC / (M * RN) - 120.0).CFT, 0.0148);
  // A Reynolds number below 10^0.407: the 2.64 power of a negative base.
  EXPECT_TRUE(std::isnan(corpo(500000.0, 1e-12).CFT));
  EXPECT_LT(corpo(500000.0, 3.5).CDAC, 0.0);  // 1 - 0.09 M^2 < 0 beyond M = 10/3
  // Fins, chord 60 at Mach 0.1: chord Reynolds number about 1.4e5, laminar
  // run about 220, beyond the chord: below the laminar value.
  double CFE, CFLE, CFTE, C = NAN, CDAE;  // C is the routine's to set
  arrasto::CDATRITOE(TO, PO, 500000.0, 0.1, CFE, 6000.0, CFLE, CFTE, C, 60.0, PI * 400.0, CDAE,
                     4.0);
  EXPECT_LT(CFTE, 0.0);
  EXPECT_LT(CDAE, 0.0);
}

// M0: the body's laminar run reaching L or the fins' passing LE, whichever
// is the higher Mach number; with no fins, only where their coefficient,
// times N = 0, is NaN; infinite where no Mach number has a friction law.
TEST(Friction, LowestMachInsideTheModel) {
  const double piso = std::pow(10.0, 0.407);
  const struct { double TO, RETC, RETE, L, LE, N, M0; } rows[] = {
      {TO, 5e5, 5e5, 720.0, 60.0, 4.0, 5e5 / (RN * 60.0)},    // the example: the fins
      {TO, 5e6, 5e5, 100.0, 60.0, 4.0, 5e6 / (RN * 100.0)},   // a short body
      {TO, 5e5, 5e5, 720.0, 60.0, 0.0, 5e5 / (RN * 720.0)},   // no fins: the body
      {TO, 3.0, 5e5, 720.0, 60.0, 0.0, piso / (RN * 60.0)},
      {TO, 5e5, 5e5, 720.0, 60.0, kNaN, 5e5 / (RN * 60.0)},
      {TO, 5e5, 5e5, 720.0, 0.0, 0.0, kInf},                  // fins without a chord
      {TO, 5e5, 2.5, 720.0, 60.0, 4.0, kInf},                 // below 10^0.407
      {TO, 5e5, kInf, 720.0, 60.0, 0.0, kInf},
      {TO, kNaN, 5e5, 720.0, 60.0, 4.0, kInf},
      {TO, 5e5, 5e5, kInf, 60.0, 4.0, kInf},
      {kNaN, 5e5, 5e5, 720.0, 60.0, 4.0, kInf},
      {0.0, 5e5, 5e5, 720.0, 60.0, 4.0, kInf},                // absolute zero: RN infinite
  };
  for (const auto& row : rows)
    same(row.M0, out([&](double& M0) {
           arrasto::MACHMINIMO(row.TO, PO, row.RETC, row.RETE, row.L, row.LE, row.N, M0);
         }));
}

TEST(PressureBaseLugAndInterference, WorkedExamples) {
  // Base: any motor code but 0 burns, and a nozzle half as wide as the body
  // takes a quarter off; the base's share is computed, not taken as 1. Last:
  // 0.13 * (M * M) + 0.12 rounded twice, a bit off one fused multiply-add.
  const struct { double DC, M; int MOTORLIGADO; double CDBC; } bases[] = {
      {40.0, 0.0, 2, 0.12 * 0.75}, {0.0, 0.5, 0, kNaN}, {40.0, 0.7, 0, 0x1.7837b4a2339c0p-3}};
  for (const auto& row : bases) {
    const double SREF = (PI * (row.DC * row.DC)) * 0.25, ST = (PI * 400.0) * 0.25;
    same(row.CDBC, out([&](double& CDBC) {
           double CBC;
           arrasto::CDBASEC(SREF, PI, row.DC, CDBC, ST, row.M, row.MOTORLIGADO, CBC, 0.0, 0.0);
         }));
  }
  // Fins: four, 2 thick, 50 of span; CBC 0.12, SREF 1000. Any code but 1 is
  // square; a rounded leading edge is nothing at Mach 0, infinite at 1, NaN above.
  const struct { double M; int AC; double SA, CDPE; } fins[] = {
      {0.0, 0, 0.0, (0.85 + 0.12) * 0.4}, {0.0, 2, PI / 4.0, (0.85 * 0.5 + 0.12) * 0.4},
      {0.0, 1, 0.0, 0.06 * 0.4}, {1.0, 1, 0.0, kInf}, {1.2, 1, 0.0, kNaN}};
  for (const auto& row : fins)
    same(row.CDPE, out([&](double& CDPE) {
           arrasto::CDPRESSAOE(row.M, 40.0, 50.0, 0.12, 4.0, 2.0, 1000.0, CDPE, row.SA, row.AC);
         }), 1e-15);
  for (int NA : {1, 2, 3, 4})  // only a cone's nose, here of half-angle atan(0.5)
    same(NA == 3 ? 0.16 : 0.0,
         out([&](double& CDPN) { arrasto::CDPRESSAON(0.5, NA, 100.0, 100.0, CDPN); }), 1e-15);
  // Lug 8 outer, 6 bore, SREF 1000, at M = 0 (Q = 0.85). Only code 1 is a
  // lug; an outer diameter 0 (an infinite or NaN ratio) counts as the bound.
  const double outer = PI * 16.0, bore = PI * 9.0;
  const struct { double DETB, DITB, LTB; int NT; double CDTB; } lugs[] = {
      {8.0, 6.0, 30.0, 2, 0.0}, {8.0, 6.0, 0.0, 1, 1.3 * 0.85 * (outer - bore) / 1000.0},
      {8.0, 6.0, 6.0, 1, 1.075 * 0.85 * (outer - 0.25 * bore) / 1000.0},
      {0.0, -2.0, 30.0, 1, 0.0}, {0.0, -2.0, 0.0, 1, 0.0}};
  for (const auto& row : lugs)
    same(row.CDTB, out([&](double& CDTB) {
           arrasto::CDTUBO(PI, row.DETB, row.DITB, row.LTB, 1000.0, CDTB, row.NT, 0.0, 0.0);
         }), 1e-15);
  // Interference: mean chord 60, body 40 wide, four fins; pointed fins give
  // a zero of the fin friction's sign.
  const struct { double E, TC, CDI; } joints[] = {
      {2.0, 0.0, -0.0}, {3.0, 40.0, -0.004 * 1.1 * 40.0 * 40.0 * 4.0 / 1000.0}};
  for (const auto& row : joints)
    same(row.CDI, out([&](double& CDI) {
           arrasto::CDINTERFERENCIA(-0.004, row.E, 60.0, row.TC, 40.0, 4.0, 1000.0, CDI);
         }), 1e-15);
}

// The optimised build must call the math library where the source does.
// Without errno, GCC would turn sin(atan(x)) into x / sqrt(x*x + 1), which
// rounds differently; the cone's pressure drag is built that way. The
// expected values call atan and sin through pointers, which no compiler
// can rewrite.
double (*volatile arco_tangente)(double) = std::atan;
double (*volatile seno)(double) = std::sin;

TEST(MathCalls, ConeDragIsSinOfAtanFromTheLibrary) {
  int differ = 0;
  for (int i = 1; i <= 4000; ++i) {
    const double DNA = 10.0 + 0.37 * i, LNA = 40.0 + 0.11 * i;
    double CDPN = 0.0;
    arrasto::CDPRESSAON(0.5, 3, DNA, LNA, CDPN);
    const double theta = arco_tangente((DNA * 0.5) / LNA);
    if (CDPN != 0.8 * (seno(theta) * seno(theta))) ++differ;
  }
  EXPECT_EQ(differ, 0);
}

}  // namespace
