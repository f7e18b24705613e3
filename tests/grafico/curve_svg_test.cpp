#include "grafico/curve_svg.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>
#include <vector>

using grafico::curve_svg;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// Points at Mach 0.1, 0.2, ... with the given drag coefficients.
std::vector<grafico::CurvePoint> curve(std::vector<double> drags) {
  std::vector<grafico::CurvePoint> points;
  for (std::size_t i = 0; i < drags.size(); ++i) points.push_back({0.1 * double(i + 1), 0, drags[i]});
  return points;
}

TEST(CurveSvg, DrawsEveryPointJoinedUnderItsTitles) {
  const std::string svg = curve_svg(curve({0.17, 0.39, 0.46, 0.50}), "foguete");
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\""));
  EXPECT_EQ(count(svg, "<circle"), 4u);
  EXPECT_EQ(count(svg, "<polyline"), 1u);
  for (const std::string title : {"foguete", "Número de Mach", "Coeficiente de arrasto", "Velocidade (km/h)"})
    EXPECT_EQ(count(svg, ">" + title + "</text>"), 1u) << title;
}

TEST(CurveSvg, PointsNotFiniteLeaveGapsAndExtremesStayFinite) {
  // Two runs of points joined; the lone point between the gaps only marked.
  const std::string gaps = curve_svg(curve({0.2, 0.3, kNaN, 0.4, kInf, 0.5, 0.6, -kInf}), "x");
  EXPECT_EQ(count(gaps, "<circle"), 5u);
  EXPECT_EQ(count(gaps, "<polyline"), 2u);
  const std::string extremes = curve_svg(curve({DBL_MAX, -DBL_MAX}), "x");
  for (const std::string& svg : {gaps, extremes}) EXPECT_EQ(count(svg, "nan") + count(svg, "inf"), 0u);
}

TEST(CurveSvg, NothingToDrawGivesEmptyAxesAndANote) {
  const std::string empty = curve_svg({}, "vazio");
  EXPECT_EQ(count(empty, ">sem pontos<"), 1u);
  EXPECT_EQ(count(empty, "<circle"), 0u);
  EXPECT_EQ(count(empty, ">0.5<"), 2u);  // both axes 0 to 1
  EXPECT_EQ(count(curve_svg(curve({kNaN, kInf}), "x"), ">sem pontos finitos<"), 1u);
}

TEST(CurveSvg, RunNameIsEscaped) {
  const std::string svg = curve_svg({}, "a<b>&\"c\xFF\x01");
  EXPECT_EQ(count(svg, ">a&lt;b&gt;&amp;&quot;c\xEF\xBF\xBD\xEF\xBF\xBD</text>"), 1u);
}

}  // namespace
