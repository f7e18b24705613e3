#include "grafico/curve_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every point of text, handed to the reader 7 bytes at a time so that lines
// cross the chunks.
std::vector<grafico::CurvePoint> read_curve(const std::string& text) {
  std::size_t at = 0;
  grafico::CurveReader reader([&](char* buffer, std::size_t size) {
    const std::size_t n = std::min({size, text.size() - at, std::size_t{7}});
    std::memcpy(buffer, text.data() + at, n);
    at += n;
    return n;
  });
  std::vector<grafico::CurvePoint> points;
  while (const auto p = reader.next()) points.push_back(*p);
  return points;
}

const std::string kHeader =
    "  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto\n";

// The line number and message of the error reading text, or "none".
std::string error_of(const std::string& text) {
  try {
    read_curve(text);
  } catch (const grafico::CurveError& e) {
    return std::to_string(e.line()) + ": " + e.what();
  }
  return "none";
}

TEST(CurveFile, ReadsTheNumbersBackExactly) {
  const auto points = read_curve(kHeader +
      "  1.230000000000000E-002   15.0552000000000        0.000000000000000E+000\n"
      " 0.1 122.4 Infinity\n 0.2 244.8 -Infinity\n 0.3 367.2 NaN\n");
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[0].mach, 1.23e-2);
  EXPECT_EQ(points[0].speed_kmh, 15.0552);
  EXPECT_EQ(points[1].drag, HUGE_VAL);
  EXPECT_EQ(points[2].drag, -HUGE_VAL);
  EXPECT_TRUE(std::isnan(points[3].drag));
}

TEST(CurveFile, TakesEitherLineEndAndNoPoints) {
  EXPECT_TRUE(read_curve(kHeader).empty());
  EXPECT_EQ(read_curve(kHeader + " 0.1 122.4 0.17\n\n  \n").size(), 1u);
  const auto points =  // Windows line ends, the last line unended
      read_curve(kHeader.substr(0, kHeader.size() - 1) + "\r\n 0.1 122.4 0.17\r\n 0.2 244.8 0.39");
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[0].drag, 0.17);
  EXPECT_EQ(points[1].drag, 0.39);
}

TEST(CurveFile, NamesTheLineItCannotRead) {
  EXPECT_EQ(error_of(""), "1: empty file, expected the header line");
  EXPECT_EQ(error_of(" 0.1 122.4 0.17\n"), "1: expected the header line, which begins with '#'");
  EXPECT_EQ(error_of(kHeader + " 0.1 122.4 0.17 1\n"), "2: expected 3 numbers, found 4");
  EXPECT_EQ(error_of(kHeader + " 0.1 122.4 N\xFAmero\f\n"), "2: not a number: \"N\\xFAmero\\x0C\"");
  EXPECT_EQ(error_of(kHeader + " 0.1 122.4 1.0E+999\n"), "2: number out of range: \"1.0E+999\"");
  // A file with no line end (a device, a binary) is not read to its end.
  EXPECT_EQ(error_of(kHeader + std::string(4100, '0')), "2: line longer than 4096 bytes");
  EXPECT_EQ(read_curve(kHeader + " 1 2 3" + std::string(4090, ' ') + "\r\n").size(), 1u);
}

}  // namespace
