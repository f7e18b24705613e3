#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "grafico/axis_ticks.hpp"
#include "grafico/curve_file.hpp"
#include "grafico/curve_svg.hpp"
#include "grafico/plot_files.hpp"

namespace {

// The curve of a file's text, read 7 bytes at a time so that lines cross the chunks.
grafico::Curve read_curve(const std::string& text, const std::string& name = "x") {
  std::size_t at = 0;
  grafico::CurveReader reader([&](char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, text.size() - at, std::size_t{7}});
    std::memcpy(buffer, text.data() + at, n);
    at += n;
    return n;
  });
  grafico::CurveReducer reducer;
  while (const auto p = reader.next()) reducer.add(*p);
  return {name, reducer.summary(), reducer.points()};
}

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// A file as an editor may leave it (a byte order mark, CR LF, blank lines of both kinds, a tab,
// a '+', the last line unended): a lone negative point, a gap, then a run across Mach 1 up to
// the top of the drag axis, under a title to escape. The picture is expected.svg byte for
// byte, but where a line "..." there stands for lines of ticks and marks left out.
TEST(Grafico, ReadsAndDrawsTheExpectedPicture) {
  const std::string svg = grafico::curve_svg(read_curve(
      "\xEF\xBB\xBF# Mach V Cd\r\n  2.000000000000000E-001   244.800000000000      -1.000000000000000E-001\r\n"
      "\r\n \t\n 0.5\t612 Infinity\n 0.8 979.2 0.6\n +1.1 1346.4 2\n 1.5 1836 1.2\n 2.05 2509.2 0.9",
      "\xC3\x80 deriva \xF0\x9F\x9A\x80 <&\"'\x80\x80\x80\x80\x01\xE2\x82>\xF0\x80\x80\x80"));
  std::ifstream file(ARRASTO_SOURCE_DIR "/tests/grafico/expected.svg", std::ios::binary);
  const std::string expected{std::istreambuf_iterator<char>(file), {}};
  std::size_t at = 0;  // in svg, after the last piece found
  for (std::size_t piece = 0, end; piece < expected.size(); piece = end + 4) {
    end = std::min(expected.find("...\n", piece), expected.size());
    const std::size_t found = svg.find(expected.substr(piece, end - piece), at);
    ASSERT_TRUE(piece == 0 ? found == 0 : found != std::string::npos)
        << expected.substr(piece, end - piece);
    at = found + end - piece;
  }
  EXPECT_EQ(at, svg.size());
}

// Each file's text read and drawn: its error line, or a part of its picture,
// which never shows a number as nan or inf.
TEST(Grafico, ReadsEachFileToItsErrorLineOrPicture) {
  const std::string h = "  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto\n";
  const struct {
    std::string text, result;
  } cases[] = {
      {"", "1: empty file, expected the header line"},
      {" 1 2 3", "1: expected the header line, which begins with '#'"},
      {h + "\n 0.1 122.4 0.17 1\n", "3: expected 3 numbers, found 4"},
      {h + " 0.1 122.4 N\xFAmero\f\n", "2: not a number: \"N\\xFAmero\\x0C\""},
      // Beyond the doubles: an infinity (arrasto's largest double, rounded to 16 digits, is
      // one), or a zero that is drawn.
      {h + " 1.797693134862316E+308 Infinity NaN\n 0.0002e312 0 1\n 0.5 612 0.4\n", ">2 pontos não finitos"},
      {h + " 0.001e-321 0 0.4\n", "<circle cx=\"90\""},
      // A file with no line end (a device, a binary) is not read to its end.
      {h + std::string(5000, '0'), "2: line longer than 4096 bytes"},
      {h + " 1 2 3" + std::string(4091, ' ') + "\n", "2: line longer than 4096 bytes"},
      {h + " 1 2 3" + std::string(4090, ' ') + "\r\n", "<circle"},
      {h, "x=\"430\" y=\"295\" text-anchor=\"middle\" font-size=\"18\" fill=\"#777777\">sem pontos<"},
      {h + " 0 0 NaN\n 0.1 0 Infinity\n", ">sem pontos finitos<"},
      {h + " 0 0 NaN\n", "height=\"592\""},
      {h + " 0.1 0 -3.4\n 0.2 0 -0.2\n 0.3 0 0.4\n", ">2 pontos com coeficiente negativo, abaixo de Mach 0.3: fora"},
      {h + " 0 0 0.2\n 0.1 0 NaN\n 0.2 0 0.4\n 0.3 0 Infinity\n 0.4 0 -Infinity\n", ">3 pontos não finitos (lacunas"},
      {h + " 0.1 0 1.7976931348623157e308\n 0.2 0 -1.7976931348623157e308\n", ">1 ponto com coeficiente negativo"},
      {h + " 0.4 0 0.5\n", "<circle cx=\"770\" cy=\"110\""},
      {h + " 0 0 1\n", "height=\"560\""},
      {h + " 0 0 1\n", "y2=\"110\"/>\n</g>\n<rect"},  // no zero line without a negative coefficient
      {h + " 0.6 0 0.4\n 1 0 NaN\n", "<text x=\"764\" y=\"128\" text-anchor=\"end\""},  // no room right of Mach 1
  };
  for (const auto& c : cases) {
    std::string result;
    try {
      result = grafico::curve_svg(read_curve(c.text));
    } catch (const grafico::CurveError& e) {
      result = std::to_string(e.line()) + ": " + e.what();
    }
    EXPECT_TRUE(result.starts_with("<?xml") ? count(result, c.result) == 1 : result == c.result)
        << result;
    EXPECT_EQ(count(result, "nan") + count(result, "inf"), 0u) << c.result;
  }
}

// Kinds: '0' from zero widened to whole steps, 'w' within a fixed range, '1' one digit above lo.
TEST(Grafico, AxisTicksAtRoundStepsWithExactLabels) {
  const struct {
    char kind;
    double lo, hi;
    int intervals;
    const char* labels;
  } cases[] = {
      {'0', 0.01, 0.07, 10, "0.00 0.01 0.02 0.03 0.04 0.05 0.06 0.07"},  // 0.07 / 0.01 is a hair above 7
      {'0', -0.03, 0.011, 10, "-0.030 -0.025 -0.020 -0.015 -0.010 -0.005 0.000 0.005 0.010 0.015"},
      {'0', 0, 0, 10, "0.0 0.1 0.2 0.3 0.4 0.5 0.6 0.7 0.8 0.9 1.0"},
      {'0', 0, 5e7, 5, "0 1e7 2e7 3e7 4e7 5e7"},
      {'0', 0, 2.6e12, 6, "0 5e11 1e12 1.5e12 2e12 2.5e12 3e12"},
      {'0', 0, 3e-11, 3, "0 1e-11 2e-11 3e-11"},
      {'0', 0, 3e-320, 3, "0 1e-320 2e-320 3e-320"},
      {'0', 0, 5e-324, 2, "0 5e-324"},  // subnormal
      {'w', 130, 1101.6, 7, "200 400 600 800 1000"},
      {'w', 0, 0.3, 3, "0.0 0.1 0.2 0.3"},  // 0.3 / 0.1 < 3
      {'1', 0.03, 0, 0, "0.04"}, {'1', 0.0299, 0, 0, "0.03"},
      {'1', 0.09, 0, 0, "0.1"}, {'1', 1e-320, 0, 0, "2e-320"},
      // Speeds of Mach 1e305 overflow to km/h: the ticks stop at the largest double.
      {'w', 0, INFINITY, 3, "0 5e307 1e308 1.5e308"}, {'w', -INFINITY, 0, 2, "-1e308 0"},
      {'w', NAN, 1, 3, ""}, {'0', 0, INFINITY, 4, "0 5e307 1e308 1.5e308"},
      {'1', 5e-324, 0, 0, "1e-323"},
  };
  for (const auto& c : cases) {
    std::string labels;
    for (const auto& tick : (c.kind == '0' ? grafico::axis_from_zero(c.lo, c.hi, c.intervals)
                                           : grafico::ticks_within(c.lo, c.hi, c.intervals)).ticks)
      labels += (labels.empty() ? "" : " ") + tick.label;
    EXPECT_EQ(c.kind == '1' ? grafico::one_digit_above(c.lo) : labels, c.labels) << c.lo << ' ' << c.hi;
  }
}

// An older file that a picture may replace: only an SVG picture, whatever its prolog.
TEST(Grafico, APictureReplacesOnlyAnSvgPicture) {
  const struct {
    const char* head;
    bool svg;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"", true},
      {"\xEF\xBB\xBF<!-- <svg> -->\r\n<!DOCTYPE svg [ <!ENTITY a \">\"> ]>\n<svg:svg\txmlns:svg=", true},
      {"<svg/>", true},
      {"<svgx>", false}, {"<html><svg>", false}, {"<!-- <svg> ", false}, {"<svg", false},
      {"", false}, {"1 2 3\n", false}, {"<?xml?><!DOCTYPE svg", false},
  };
  for (const auto& c : cases) EXPECT_EQ(grafico::is_svg_picture(c.head), c.svg) << c.head;
}

TEST(Grafico, AMillionPointsGiveABoundedPictureThatKeepsASpike) {
  grafico::CurveReducer reducer;
  for (int i = 1; i <= 1'000'000; ++i)
    reducer.add({0.9e-6 * i, 0, i == 400'000 ? -1.0 : i == 700'001 ? 10.0 : 0.5});
  const std::string svg = grafico::curve_svg({"longa", reducer.summary(), reducer.points()});
  EXPECT_EQ(count(svg, "<circle"), 18u);  // a mark every 40 pixels or more, and on the negative point
  EXPECT_EQ(count(svg, "<circle cx=\"130.03\""), 1u);
  EXPECT_EQ(count(svg, ","), 1363u);  // the first, last, lowest and highest point of each pixel column
  EXPECT_EQ(count(svg, ",110 "), 1u);  // the spike, at the top of the drag axis (10)
}

// Each curve its own colour, dashes and marker, in the plot and in the legend.
TEST(Grafico, AComparisonHasALegendEntryPerCurve) {
  const std::string svg = grafico::comparison_svg({read_curve("#\n0 0 0.3\n0.1 0 0.4", "aletas retas"),
      read_curve("#\n0 0 -0.1\n0.1 0 0.35", "aletas <longas>"), read_curve("#", "c"), read_curve("#", "d"),
      read_curve("#", "e")});
  for (const char* part : {
           "stroke-linejoin=\"round\" stroke-dasharray=\"9 4\">\n<polyline",
           "<text x=\"90\" y=\"570\" text-anchor=\"start\">aletas &lt;longas&gt;: 1 ponto com coeficiente "
           "negativo, até Mach 0: fora",
           "<g stroke=\"#D55E00\" fill=\"#D55E00\" stroke-width=\"2\" stroke-dasharray=\"9 4\">\n"
           "<line x1=\"90\" y1=\"609.5\" x2=\"134\" y2=\"609.5\"/>\n</g>\n<g fill=\"#D55E00\" stroke=\"#D55E00\" "
           "stroke-width=\"1.5\">\n<rect x=\"108.8\" y=\"606.3\" width=\"6.4\" height=\"6.4\"/>\n</g>\n"
           "<text x=\"144\" y=\"614\" text-anchor=\"start\" font-size=\"13\">aletas &lt;longas&gt;</text>",
           "\"112,627 116,634.5 108,634.5\"", "\"112,649 116.5,653.5 112,658 107.5,653.5\"",
           "\"112,680 116,672.5 108,672.5\"", "height=\"702\""})
    EXPECT_EQ(count(svg, part), 1u) << part;
  // A curve of one point past Mach 1 still shows where the subsonic model ends.
  EXPECT_EQ(count(grafico::comparison_svg({read_curve("#\n1.5 0 0.3", "um")}), "subs\xC3\xB4nico"), 1u);
}

}  // namespace
