#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "grafico/axis_ticks.hpp"
#include "grafico/curve_csv.hpp"
#include "grafico/curve_file.hpp"
#include "grafico/curve_svg.hpp"
#include "grafico/plot_files.hpp"
#include "grafico/measured_points.hpp"
#include "grafico/run_report.hpp"

namespace {

// The curve of a file's text, read 7 bytes at a time so that lines cross the chunks.
grafico::Curve read_curve(const std::string& text, const std::string& name = "x",
                          std::optional<double> lowest_mach = {}) {
  std::size_t at = 0;
  grafico::CurveReader reader([&](char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, text.size() - at, std::size_t{7}});
    std::memcpy(buffer, text.data() + at, n);
    at += n;
    return n;
  });
  grafico::CurveReducer reducer;
  while (const auto p = reader.next()) reducer.add(*p);
  return {name, reducer.summary(), reducer.points(), lowest_mach};
}

std::string shortest(double x) {
  char buffer[32];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
}

std::size_t count(const std::string& s, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// A file as an editor may leave it (a byte order mark, CR LF, blank lines of both kinds, a tab,
// a '+', the last line unended): a lone negative point, a gap, then a run across Mach 1 up to
// the top of the drag axis, under a title to escape; M0 from the run's report, and two
// measured points, one above the curves' range. The picture is expected.svg byte for
// byte, but where a line "..." there stands for lines of ticks and marks left out.
TEST(Grafico, ReadsAndDrawsTheExpectedPicture) {
  const std::string svg = grafico::curve_svg(read_curve(
      "\xEF\xBB\xBF# Mach V Cd\r\n  2.000000000000000E-001   244.800000000000      -1.000000000000000E-001\r\n"
      "\r\n \t\n 0.5\t612 Infinity\n 0.8 979.2 0.6\n +1.1 1346.4 2\n 1.5 1836 1.2\n 2.05 2509.2 0.9",
      "\xC3\x80 deriva \xF0\x9F\x9A\x80 <&\"'\x80\x80\x80\x80\x01\xE2\x82>\xF0\x80\x80\x80", 0.37),
      {{"t\xC3\xBAnel <1967>", {{0.6, 0.3}, {0.95, 2.3}}}});
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
  const double inf = HUGE_VAL;
  const struct {
    std::string text, result;
    std::optional<double> m0 = {};  // from the run's report
  } cases[] = {
      {"", "1: empty file, expected the header line"},
      {" 1 2 3", "1: expected the header line, which begins with '#'"},
      {h + "\n 0.1 122.4 0.17 1\n", "3: expected 3 numbers, found 4"},
      {h + " 0.1 122.4 N\xFAmero\f\n", "2: not a number: \"N\\xFAmero\\x0C\""},
      // Beyond the doubles: an infinity (arrasto's largest double, rounded to 16 digits, is
      // one), or a zero that is drawn.
      {h + " 1.797693134862316E+308 Infinity NaN\n 0.0002e312 0 1\n 0.5 612 0.4\n", ">2 pontos não finitos"},
      {h + " 0.001e-321 0 0.4\n", "<circle cx=\"90\""},
      {h + " 0.5 0 1e-400\n", "<circle cx="}, {h + " 0.5 0 1e+400\n", ">sem pontos finitos<"},
      {h + " +1 0 0.4\n", "<circle cx="},
      {h + " 0.5 612 0.4x\n", "2: not a number: \"0.4x\""},
      // A file with no line end (a device, a binary) is not read to its end.
      {h + std::string(5000, '0'), "2: line longer than 4096 bytes"},
      {h + " 1 2 3" + std::string(4091, ' ') + "\n", "2: line longer than 4096 bytes"},
      {h + " 1 2 3" + std::string(4090, ' ') + "\r\n", "<circle"},
      {h, "x=\"430\" y=\"295\" text-anchor=\"middle\" font-size=\"18\" fill=\"#777777\">sem pontos<"},
      {h + " 0 0 NaN\n 0.1 0 Infinity\n", ">sem pontos finitos<"},
      {h + " 0 0 NaN\n", "height=\"592\""},
      {h + " 0.1 0 -3.4\n 0.2 0 -0.2\n 0.3 0 0.4\n", ">2 pontos com coeficiente negativo, abaixo de Mach 0,3: fora"},
      {h + " 0 0 0.2\n 0.1 0 NaN\n 0.2 0 0.4\n 0.3 0 Infinity\n 0.4 0 -Infinity\n", ">3 pontos não finitos (lacunas"},
      {h + " 0.1 0 1.7976931348623157e308\n 0.2 0 -1.7976931348623157e308\n", ">1 ponto com coeficiente negativo"},
      {h + " 0.4 0 0.5\n", "<circle cx=\"770\" cy=\"110\""},
      {h + " 0 0 1\n", "height=\"560\""},
      {h + " 0 0 1\n", "y2=\"110\"/>\n</g>\n<rect"},  // no zero line without a negative coefficient
      {h + " 0.6 0 0.4\n 1 0 NaN\n", "<text x=\"764\" y=\"128\" text-anchor=\"end\""},  // no room right of Mach 1
      // M0 beyond the axis: all of it shaded, with the label; none inside the model at all.
      {h + " 0.1 0 0.2\n 0.5 0 0.4\n", "width=\"680\" height=\"370\" fill=\"#f6ead5\"/>\n<text x=\"764\" "
       "y=\"128\" text-anchor=\"end\" font-size=\"12\" fill=\"#a8792e\">abaixo de M₀ = 0,6: atrito", 0.6},
      {h + " 0.1 0 -0.2\n 0.5 0 0.4\n", ">nenhum número de Mach dentro do modelo de atrito<", inf},
      {h + " 0.1 0 -0.2\n 0.5 0 0.4\n", ">(o modelo vale só a partir de M₀, mais acima: veja o relatório da rodada)<"},
  };
  for (const auto& c : cases) {
    std::string result;
    try {
      result = grafico::curve_svg(read_curve(c.text, "x", c.m0));
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
  const std::string svg = grafico::curve_svg({"longa", reducer.summary(), reducer.points(), {}});
  EXPECT_EQ(count(svg, "<circle"), 18u);  // a mark every 40 pixels or more, and on the negative point
  EXPECT_EQ(count(svg, "<circle cx=\"130.03\""), 1u);
  std::size_t coordinates = 0;  // the first, last, lowest and highest point of each pixel column
  for (std::size_t at = svg.find("points=\""); at != std::string::npos; at = svg.find("points=\"", at + 1))
    coordinates += count(svg.substr(at, svg.find('"', at + 8) - at), ",");
  EXPECT_EQ(coordinates, 1362u);
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
           "<line x1=\"90\" y1=\"631.5\" x2=\"134\" y2=\"631.5\"/>\n</g>\n<g fill=\"#D55E00\" stroke=\"#D55E00\" "
           "stroke-width=\"1.5\">\n<rect x=\"108.8\" y=\"628.3\" width=\"6.4\" height=\"6.4\"/>\n</g>\n"
           "<text x=\"144\" y=\"636\" text-anchor=\"start\" font-size=\"13\">aletas &lt;longas&gt;</text>",
           "\"112,649 116,656.5 108,656.5\"", "\"112,671 116.5,675.5 112,680 107.5,675.5\"",
           "\"112,702 116,694.5 108,694.5\"", "height=\"724\""})
    EXPECT_EQ(count(svg, part), 1u) << part;
  // A curve of one point past Mach 1 still shows where the subsonic model ends.
  EXPECT_EQ(count(grafico::comparison_svg({read_curve("#\n1.5 0 0.3", "um")}), "subs\xC3\xB4nico"), 1u);
  // Each curve pale below its own M0, marked on the axis; the measured points in the legend.
  const std::string ranges = grafico::comparison_svg(
      {read_curve("#\n0.1 0 0.3\n0.5 0 0.4", "a", 0.25), read_curve("#\n0.1 0 0.2", "b", HUGE_VAL)},
      {{"medido", {{0.3, 0.35}}}});
  for (const char* part : {
           "<g clip-path=\"url(#m0-0-acima)\">\n<g fill=\"none\" stroke=\"#0072B2\"",
           "<g clip-path=\"url(#m0-0-abaixo)\" opacity=\"0.3\">\n<g fill=\"none\" stroke=\"#0072B2\"",
           "<polygon points=\"430,471 435,480 425,480\" fill=\"#0072B2\"/>",
           "<clipPath id=\"m0-1-abaixo\"><rect x=\"0\" y=\"0\" width=\"770\"",
           ">a (M₀ = 0,25)</text>", ">b (nenhum ponto dentro do modelo)</text>", ">Traço claro: abaixo do M₀",
           "<text x=\"144\" y=\"636\" text-anchor=\"start\" font-size=\"13\">medido</text>"})
    EXPECT_EQ(count(ranges, part), 1u) << part;
  EXPECT_EQ(count(ranges, "<polygon points="), 1u);  // b's M0 is off the axis
}

// Each measured file's text: its label and points, or its error line.
TEST(Grafico, MeasuredPointsToTheirLabelAndPointsOrErrorLine) {
  const struct {
    std::string text, result;
  } cases[] = {
      {"# T\xC3\xBAnel 1967 \nMach;Cd\n0,6;0,2987\n\n+1,2 ; 0,5;;\n", "Túnel 1967: 0.6 0.2987, 1.2 0.5"},
      {"\xEF\xBB\xBF#\r\n# not the label\r\n0.6,0.3\r\n 0.8\t 0,31\n0.9   3e-1", "f.csv: 0.6 0.3, 0.8 0.31, 0.9 0.3"},
      {"# R\xE9gua\n1 2\n0,5 0,25\n", "Régua: 1 2, 0.5 0.25"},  // a label saved as Windows-1252
      {"0.6\n", "1: expected 2 numbers (Mach number and drag coefficient), found 1"},
      {"Mach,Cd\n0,6,0,3\n", "2: expected 2 numbers (Mach number and drag coefficient), found 4"},
      {"1 2\nMach Cd\n", "2: not a number: \"Mach\""},  // a header only before the points
      {"0.6 0.3x\n", "1: not a number: \"0.3x\""},
      {"0.6, 0,3\n", "1: expected 2 numbers (Mach number and drag coefficient), found 3"},
      {"0.6 1e999\n", "1: number out of range: \"1e999\""},
      {"0.6;-inf\n", "1: a measured value must be a finite number, found \"-inf\""},
      {"-0.1 0.3\n", "1: a Mach number cannot be negative, found \"-0.1\""},
      {"# s\xC3\xB3 r\xC3\xB3tulo\nMach;Cd\n", "0: no measured points in the file"},
  };
  for (const auto& c : cases) {
    std::string result;
    try {
      const grafico::MeasuredSet set = grafico::parse_measured_points(c.text, "f.csv");
      result = set.label + ":";
      for (const auto& p : set.points)
        result += (result.back() == ':' ? " " : ", ") + shortest(p.mach) + " " + shortest(p.drag);
    } catch (const grafico::CurveError& e) {
      result = std::to_string(e.line()) + ": " + e.what();
    }
    EXPECT_EQ(result, c.result);
  }
}

// The report beside a curve file gives M0 only when it is the same run's:
// the same MMAX, as many points below M0; the name cut at 43 characters.
TEST(Grafico, TheRunReportGivesM0OnlyForItsOwnCurve) {
  const auto report = [](const std::string& mmax, const std::string& m0, const std::string& below,
                         const std::string& end = "\n") {
    std::string text = " COEFICIENTE DE ARRASTO PARA MACHI =  " + mmax + end;
    for (int record = 2; record <= 17; ++record) text += " x" + end;
    text += " Menor n\xFAmero de Mach v\xE1lido (M0):  " + m0 + end + " " + end;
    return text + " Pontos da varredura abaixo de M0:" + below + end;
  };
  const std::string curve = "  # Mach\n 0.3 0 1\n 0.6 0 1\n 0.900000000000001 0 1\n";
  const std::string cut(43, 'c');
  const struct {
    std::string curve_name;
    std::vector<std::pair<std::string, std::string>> files;  // name, text
    double m0;  // 0: none
  } cases[] = {
      {"Curva1_r", {{"r", report("0.9", "0.366563262530292", "           1")}}, 0.366563262530292},
      {"Curva1_r", {{"r", report("0.9", "0.600000000000000", "           1", "\r\n")}}, 0.6},  // 0.6 or not
      {"Curva1_r", {{"r", report("0.9", "0.600000000000000", "           2")}}, 0.6},
      {"Curva1_r", {{"r", report("0.9", "Infinity", "           3")}}, HUGE_VAL},
      {"Curva1_r", {}, 0},
      {"Curva1_r", {{"r", report("0.8", "0.366563262530292", "           1")}}, 0},
      {"Curva1_r", {{"r", report("0.9", "0.366563262530292", "           2")}}, 0},
      {"Curva1_r", {{"r", report("0.9", "0.366563262530292", "           1") + " \n"}}, 0},
      {"Curva1_r", {{"r", report("0.9", "0.366563262530292", "  1.5")}}, 0},
      {"Curva1_r", {{"r1", report("0.9", "0.366563262530292", "           1")}}, 0},  // not cut
      {"Curva1_" + cut, {{cut + "ab", report("0.9", "0.5", "           1")}}, 0.5},
      {"Curva1_" + cut, {{cut + "ab", report("0.9", "0.5", "           1")}, {cut + "x", report("0.9", "0.4", "1")}}, 0},
      {"Curva1_" + cut, {{cut, report("0.9", "0.5", "1")}, {cut + "x", report("0.9", "0.4", "1")}}, 0.5},
      // A 4-byte character cut in two at the 43rd byte: 40 bytes kept.
      {"Curva1_" + cut.substr(3), {{cut.substr(3) + "\xF0\x9F\x9A\x80", report("0.9", "0.5", "1")}}, 0.5},
  };
  int folder = 0;
  for (const auto& c : cases) {
    const std::filesystem::path dir = "reports" + std::to_string(++folder);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / c.curve_name, std::ios::binary) << curve;
    for (const auto& [name, text] : c.files) std::ofstream(dir / name, std::ios::binary) << text;
    const std::optional<double> m0 = grafico::model_lowest_mach(dir / c.curve_name);
    EXPECT_EQ(m0.value_or(0), c.m0) << folder;
  }
}

// The first curve as CSV: each point as read, or, below M0, at the value of
// the first point from M0 up, which the header line names; nothing written
// for a curve that does not read.
TEST(Grafico, TheCurveAsCsvHoldsItsValueBelowM0OnlyWhenAsked) {
  std::filesystem::create_directories("csv");
  std::ofstream("csv/Curva1_r", std::ios::binary) << "  # Mach\n 0.1 0 0.9\n 0.4 0 0.5\n 0.8 0 0.6\n";
  std::ofstream("csv/Curva1_mau", std::ios::binary) << "  # Mach\n 0.1 0 x\n";
  const auto csv = [](const std::string& curve, double hold) {
    std::filesystem::remove("csv/r.csv");
    try {
      grafico::write_curve_csv("csv/" + curve, "csv/r.csv", hold);
    } catch (const grafico::PlotError& e) {
      return std::string(e.what()) + (std::filesystem::exists("csv/r.csv") ? " (written)" : "");
    }
    std::ifstream file("csv/r.csv", std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(file), {}};
  };
  EXPECT_EQ(csv("Curva1_r", NAN), "Mach,Cd\n0.1,0.9\n0.4,0.5\n0.8,0.6\n");
  EXPECT_EQ(csv("Curva1_r", 0.35), "Mach,Cd held below the lowest valid Mach number M0 = 0.35 at 0.5 "
                                   "(its value at Mach 0.4)\n0.1,0.5\n0.4,0.5\n0.8,0.6\n");
  EXPECT_EQ(csv("Curva1_r", 0.9), "Mach,Cd (nothing held: no point at or above the lowest valid Mach "
                                  "number M0 = 0.9)\n0.1,0.9\n0.4,0.5\n0.8,0.6\n");
  EXPECT_EQ(csv("Curva1_mau", NAN), "\"csv/Curva1_mau\":2: not a number: \"x\"");
}

}  // namespace
