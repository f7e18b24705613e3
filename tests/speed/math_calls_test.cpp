// The optimised build must call the math library where the source does.
// Without errno, GCC would turn sin(atan(x)) into x / sqrt(x*x + 1), which
// rounds differently; the cone's pressure drag is built that way. The
// expected values call atan and sin through pointers, which no compiler
// can rewrite.

#include <gtest/gtest.h>

#include <cmath>

#include "drag/Cd_pressao.hpp"

namespace {

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
