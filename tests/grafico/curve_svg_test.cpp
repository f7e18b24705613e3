#include "grafico/curve_svg.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

grafico::Curve curve_of(const std::vector<grafico::CurvePoint>& points, const std::string& name = "x") {
  grafico::CurveReducer reducer;
  for (const auto& p : points) reducer.add(p);
  return {name, reducer.summary(), reducer.points()};
}

// Points at Mach 0.1, 0.2, ... with the given drag coefficients.
grafico::Curve curve(std::vector<double> drags, const std::string& name = "x") {
  std::vector<grafico::CurvePoint> points;
  for (std::size_t i = 0; i < drags.size(); ++i) points.push_back({0.1 * double(i + 1), 0, drags[i]});
  return curve_of(points, name);
}

TEST(CurveSvg, DrawsEveryPointJoinedUnderItsTitles) {
  const std::string svg = grafico::curve_svg(curve({0.17, 0.39, 0.46, 0.50}, "foguete"));
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\""));
  EXPECT_EQ(count(svg, "<circle"), 4u);
  EXPECT_EQ(count(svg, "<polyline"), 1u);
  for (const std::string title : {"foguete", "Número de Mach", "Coeficiente de arrasto", "Velocidade (km/h)"})
    EXPECT_EQ(count(svg, ">" + title + "</text>"), 1u) << title;
  EXPECT_EQ(count(svg, "fora da validade") + count(svg, "subsônico"), 0u);
  EXPECT_EQ(count(grafico::curve_svg(curve({}, "a<b>&\"c\xFF\x01")),
                  ">a&lt;b&gt;&amp;&quot;c\xEF\xBF\xBD\xEF\xBF\xBD</text>"), 1u);
}

TEST(CurveSvg, MarksAndNotesWhatLiesOutsideTheModel) {
  const struct {
    std::vector<double> drags;  // at Mach 0.1, 0.2, ...
    const char* note;           // "" for none
    std::size_t hollow, polylines;
  } cases[] = {
      {{-3.4, -0.2, 0.1, 0.4}, "2 pontos com coeficiente negativo, abaixo de Mach 0.3: fora da validade do modelo", 2, 1},
      {{-0.5, 0.2, 0.3}, "1 ponto com coeficiente negativo, abaixo de Mach 0.2: fora da validade do modelo", 1, 1},
      // Two runs joined; the lone point between the gaps only marked.
      {{0.2, 0.3, kNaN, 0.4, kInf, 0.5, 0.6, -kInf},
       "3 pontos não finitos (lacunas na curva): fora da validade do modelo", 0, 2},
      {{kNaN, -1, 0.5}, "1 ponto com coeficiente negativo, abaixo de Mach 0.3, e</text>\n<text x=\"90\" "
                        "y=\"592\" text-anchor=\"start\">1 ponto não finito (lacunas na curva): fora da validade do modelo", 1, 1},
      {{kNaN, kInf}, "2 pontos não finitos (lacunas na curva): fora da validade do modelo", 0, 0},
  };
  for (const auto& c : cases) {
    const std::string svg = grafico::curve_svg(curve(c.drags));
    EXPECT_EQ(count(svg, std::string(c.note) + "</text>"), 1u) << c.note;
    EXPECT_EQ(count(svg, "fill=\"white\"/>"), c.hollow) << c.note;
    EXPECT_EQ(count(svg, "<polyline"), c.polylines) << c.note;
    EXPECT_EQ(count(svg, "nan") + count(svg, "inf"), 0u) << c.note;
  }
  EXPECT_EQ(count(grafico::curve_svg(curve({kNaN, kInf})), ">sem pontos finitos<"), 1u);
  const std::string empty = grafico::curve_svg(curve({}));
  EXPECT_EQ(count(empty, ">sem pontos<"), 1u);
  EXPECT_EQ(count(empty, ">0.5<"), 2u);  // both axes 0 to 1
  EXPECT_EQ(count(grafico::curve_svg(curve({DBL_MAX, -DBL_MAX})), "nan"), 0u);
  // Mach 1.2 has no finite coefficient, yet the sweep reaches beyond Mach 1.
  const std::string transonic =
      grafico::curve_svg(curve_of({{0.6, 0, 0.4}, {0.9, 0, 0.5}, {1.2, 0, kNaN}}));
  EXPECT_EQ(count(transonic, ">além do modelo subsônico</text>"), 1u);
}

TEST(CurveSvg, AMillionPointsGiveABoundedPictureThatKeepsASpike) {
  grafico::CurveReducer reducer;
  constexpr int kPoints = 1'000'000;
  for (int i = 1; i <= kPoints; ++i) {
    const double drag = i == 400'000 ? -1.0 : i == 700'001 ? 10.0 : 0.5;
    reducer.add({0.9 * i / kPoints, 0, drag});
  }
  const std::string svg = grafico::curve_svg({"longa", reducer.summary(), reducer.points()});
  EXPECT_LT(svg.size(), 100'000u);
  EXPECT_EQ(count(svg, "fill=\"white\"/>"), 1u);  // the one negative point
  EXPECT_EQ(count(svg, "1 ponto com coeficiente negativo, abaixo de Mach 0.4:"), 1u);
  // The top of the drag axis is 10: the spike reaches the plot's top edge, y = 110.
  EXPECT_EQ(count(svg, ",110 "), 1u);
}

TEST(CurveSvg, AComparisonHasALineAndALegendEntryPerCurve) {
  const std::string svg = grafico::comparison_svg(
      {curve({0.3, 0.4}, "aletas retas"), curve({-0.1, 0.35}, "aletas <longas>"), curve({0.2, 0.3}, "motor")});
  EXPECT_EQ(count(svg, "<polyline"), 3u);
  for (const char* colour : {"stroke=\"#0072B2\"", "stroke=\"#D55E00\"", "stroke=\"#009E73\""})
    EXPECT_EQ(count(svg, colour), 4u) << colour;  // line, marks, legend line and mark
  for (const char* name : {">aletas retas</text>", ">aletas &lt;longas&gt;</text>", ">motor</text>"})
    EXPECT_EQ(count(svg, name), 1u) << name;
  EXPECT_EQ(count(svg, ">aletas &lt;longas&gt;: 1 ponto com coeficiente negativo"), 1u);
}

}  // namespace
