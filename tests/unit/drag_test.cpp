// The drag components at the points where their formulas turn: values
// worked out by hand, the IEEE results that must flow on, and the bounds
// that must hold a NaN.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "drag/Area_laminar.hpp"
#include "drag/Cd_atrito.hpp"
#include "drag/Cd_base.hpp"
#include "drag/Cd_interferencia.hpp"
#include "drag/Cd_pressao.hpp"
#include "drag/Cd_tuboguia.hpp"

namespace {

constexpr double PI = 3.141592653589793;

// The example rocket at 20 C and 101.325 kPa.
constexpr double TO = ((20.0 + 273.15) * 9.0) / 5.0;
constexpr double PO = 101.325 * 20.885434273;
const double RN = ((8816603.0 * PO) * std::pow(TO, -1.26)) / 304.8;

TEST(LaminarArea, WhereTheLaminarRunEnds) {
  double SWETL = -1.0;
  arrasto::AREALAM(PI, 2, 40.0, 120.0, 30.0, 9000.0, SWETL, 40.0);
  EXPECT_EQ(SWETL, 9000.0 * 0.25);  // on the nose
  arrasto::AREALAM(PI, 2, 40.0, 120.0, 120.0, 9000.0, SWETL, 40.0);
  EXPECT_EQ(SWETL, 9000.0);  // exactly the nose
  arrasto::AREALAM(PI, 2, 40.0, 120.0, 220.0, 9000.0, SWETL, 40.0);
  EXPECT_DOUBLE_EQ(SWETL, 9000.0 + 40.0 * PI * 100.0);
  arrasto::AREALAM(PI, 3, 40.0, 120.0, std::nan(""), 9000.0, SWETL, 40.0);
  EXPECT_TRUE(std::isnan(SWETL));
}

struct Corpo {
  double CF, CFL, CFT, C, CDAC;
};

Corpo corpo(double RETC, double M) {
  // Ogive nose 120 x 40, tube 600 x 40.
  const double SWETNA = 9000.0, L = 720.0, SWET = SWETNA + PI * 40.0 * 600.0;
  const double SREF = PI * 400.0;
  Corpo c{};
  arrasto::CDATRITOC(TO, PO, RETC, M, c.CF, SWET, c.CFL, c.CFT, c.C, L, SREF, c.CDAC, PI, 120.0,
                     40.0, 2, SWETNA, 40.0);
  return c;
}

TEST(BodyFriction, AFullyLaminarBodyTakesTheTurbulentFloor) {
  const double M = 0.5;
  const Corpo c = corpo(2.0 * 720.0 * (M * RN), M);  // laminar run of twice L
  EXPECT_EQ(c.CFT, 0.0148);
  EXPECT_GT(c.CFL, 1.328 / std::sqrt(2.0 * 720.0 * (M * RN)));
  EXPECT_EQ(c.CF, c.CFL + 0.0148);
}

TEST(BodyFriction, NotANumberIsKeptAndCompressibilityStartsAtOne) {
  // Reynolds number below 10^0.407: the 2.64 power of a negative base.
  const Corpo tiny = corpo(500000.0, 1e-12);
  EXPECT_TRUE(std::isnan(tiny.CFT));
  EXPECT_TRUE(std::isnan(tiny.CDAC));
  const Corpo rest = corpo(500000.0, 0.0);
  EXPECT_EQ(rest.C, 1.0);
  EXPECT_LT(corpo(500000.0, 0.9).C, corpo(500000.0, 0.5).C);
  // 1 - 0.09 M^2 turns the friction drag negative beyond M = 10/3.
  EXPECT_LT(corpo(500000.0, 3.5).CDAC, 0.0);
}

TEST(FinFriction, ALaminarRunLongerThanTheChordGoesBelowTheLaminarValue) {
  double CFE, CFLE, CFTE, C, CDAE;
  // Chord 60 mm at Mach 0.1: chord Reynolds number about 1.4e5, laminar
  // run about 220 mm.
  arrasto::CDATRITOE(TO, PO, 500000.0, 0.1, CFE, 6000.0, CFLE, CFTE, C, 60.0, PI * 400.0, CDAE,
                     4.0);
  EXPECT_EQ(CFLE, 1.328 / std::sqrt(500000.0));
  EXPECT_LT(CFTE, 0.0);
  EXPECT_LT(CFE, CFLE);
  EXPECT_LT(CDAE, 0.0);
}

double cdbc(double DC, double M, int MOTORLIGADO, double DT, double* CBC_out = nullptr) {
  const double SREF = (PI * (DC * DC)) * 0.25, ST = (PI * (DT * DT)) * 0.25;
  double CDBC = -1.0, CBC = -1.0;
  arrasto::CDBASEC(SREF, PI, DC, CDBC, ST, M, MOTORLIGADO, CBC, 0.0, 0.0);
  if (CBC_out) *CBC_out = CBC;
  return CDBC;
}

TEST(BaseDrag, MotorNozzleAndZeroDiameter) {
  EXPECT_EQ(cdbc(40.0, 0.0, 0, 10.0), 0.12);
  EXPECT_EQ(cdbc(40.0, 0.0, 1, 40.0), 0.0);  // nozzle as wide as the body
  EXPECT_EQ(cdbc(40.0, 0.5, 2, 10.0), cdbc(40.0, 0.5, 1, 10.0));
  EXPECT_TRUE(std::isnan(cdbc(0.0, 0.5, 0, 10.0)));
  double CBC = 0;
  cdbc(40.0, 1.0, 0, 10.0, &CBC);
  EXPECT_DOUBLE_EQ(CBC, 0.25);
}

TEST(Arithmetic, NoFusedMultiplyAdd) {
  // At M = 0.7, 0.13 * (M * M) + 0.12 rounded twice differs in its last bit
  // from the same formed by one fused multiply-add.
  double CBC = 0;
  cdbc(40.0, 0.7, 0, 10.0, &CBC);
  EXPECT_EQ(CBC, 0x1.7837b4a2339c0p-3) << "a fused multiply-add changed the result";
}

double cdpe(double M, int AC, double SA = 0.0) {
  double CDPE = -1.0;
  arrasto::CDPRESSAOE(M, 40.0, 50.0, 0.12, 4.0, 2.0, 1000.0, CDPE, SA, AC);
  return CDPE;
}

TEST(FinPressureDrag, EdgeProfiles) {
  EXPECT_DOUBLE_EQ(cdpe(0.0, 1), 0.06 * 400.0 / 1000.0);  // rounded: trailing edge only
  EXPECT_DOUBLE_EQ(cdpe(0.0, 2), (0.85 + 0.12) * 400.0 / 1000.0);
  EXPECT_EQ(cdpe(0.0, 2), cdpe(0.0, 0));
  EXPECT_EQ(cdpe(1.0, 1), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(cdpe(1.2, 1)));
  EXPECT_NEAR(cdpe(0.5, 2, PI / 2.0), 0.12 * 400.0 / 1000.0, 1e-15);  // swept 90 degrees
}

TEST(NosePressureDrag, OnlyTheCone) {
  double CDPN = -1.0;
  arrasto::CDPRESSAON(0.5, 3, 100.0, 100.0, CDPN);
  EXPECT_DOUBLE_EQ(CDPN, 0.16);
  for (int NA : {1, 2, 4}) {
    arrasto::CDPRESSAON(0.5, NA, 100.0, 100.0, CDPN);
    EXPECT_EQ(CDPN, 0.0);
  }
}

double cdtb(double DETB, double DITB, double LTB, int NT = 1) {
  double CDTB = -1.0;
  arrasto::CDTUBO(PI, DETB, DITB, LTB, 1000.0, CDTB, NT, 0.0, 0.0);
  return CDTB;
}

TEST(LaunchLugDrag, LengthFactorAndOpenShare) {
  const double outer = PI * 64.0 * 0.25, inner = PI * 36.0 * 0.25;
  EXPECT_EQ(cdtb(8.0, 6.0, 30.0, 0), 0.0);
  EXPECT_EQ(cdtb(8.0, 6.0, 30.0, 2), 0.0);
  EXPECT_DOUBLE_EQ(cdtb(8.0, 6.0, 8.0), 0.85 * outer / 1000.0);
  EXPECT_DOUBLE_EQ(cdtb(8.0, 6.0, 0.0), 1.3 * 0.85 * (outer - inner) / 1000.0);
  EXPECT_DOUBLE_EQ(cdtb(8.0, 6.0, 16.0), 0.85 * outer / 1000.0);
  // Outer diameter 0: an infinite or NaN ratio counts as the bound, so the
  // lug adds nothing instead of a NaN.
  EXPECT_EQ(cdtb(0.0, -2.0, 30.0), 0.0);
  EXPECT_EQ(cdtb(0.0, -2.0, 0.0), 0.0);
}

TEST(InterferenceDrag, FollowsTheFinFriction) {
  double CDI = -1.0;
  arrasto::CDINTERFERENCIA(0.004, 0.0, 60.0, 40.0, 40.0, 4.0, 1000.0, CDI);
  EXPECT_DOUBLE_EQ(CDI, 0.004 * 40.0 * 40.0 * 4.0 / 1000.0);  // E = 0: t = 1
  arrasto::CDINTERFERENCIA(-0.004, 2.0, 60.0, 0.0, 40.0, 4.0, 1000.0, CDI);
  EXPECT_EQ(CDI, 0.0);
  EXPECT_TRUE(std::signbit(CDI));  // pointed fins, negative CFE: -0
  arrasto::CDINTERFERENCIA(-0.004, 2.0, 60.0, 40.0, 40.0, 4.0, 1000.0, CDI);
  EXPECT_LT(CDI, 0.0);
}

}  // namespace
