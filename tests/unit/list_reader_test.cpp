// Reading values by the list-directed convention, and the one-line errors
// for everything that does not give a value.

#include "runtime/io/list_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "runtime/run_error.hpp"

namespace {

using D = std::numeric_limits<double>;

rt::ListReader reader(const std::string& bytes) { return rt::ListReader("dados.txt", bytes); }

// The message of the error that ends reading values of one kind: i for
// integers, t for texts, else reals.
std::string error_of(rt::ListReader r, char kind) {
  try {
    for (;;) kind == 'i' ? void(r.read_integer("IT")) : kind == 't' ? void(r.read_text("NOME"))
                                                                    : void(r.read_real("X"));
  } catch (const rt::RunError& e) {
    return e.what();
  }
}

// LF, CR LF and a lone CR (classic Mac) each end one line. Fed in pieces of
// every size (0: the bytes at once) the reader gives the same values, and asks
// for no byte beyond the piece that holds the last value's end.
TEST(ListReader, LineEndsRemarksAndAStreamReadNoFurtherThanItsLastValue) {
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    const std::string data = "\xEF\xBB\xBF" "1" + end + " \t" + end + "\t2.5\tx" + end + "'a b'" +
                             end + "2*4,8";
    for (const std::size_t piece : {0, 1, 2, 1 << 30}) {
      std::uint64_t given = 0;
      const auto source = [&](char* to, std::size_t size) {  // then 9s without end
        for (std::size_t i = 0; i < std::min(size, piece); ++i, ++given)
          to[i] = given < data.size() ? data[given] : '9';
        return std::min(size, piece);
      };
      rt::ListReader r = piece == 0 ? reader(data) : rt::ListReader("dados.txt", source);
      EXPECT_EQ(r.read_integer("U"), 1);
      EXPECT_EQ(r.read_real("X"), 2.5);
      EXPECT_EQ(r.line(), 3);
      EXPECT_EQ(rt::trimmed(r.read_text("NOME")), "a b");
      EXPECT_EQ(r.read_integer("IT"), 4);  // the 8 is never read
      EXPECT_EQ(r.line(), 5);
      EXPECT_LE(given, data.size() + std::min(piece, std::size_t{1} << 16)) << piece;
      if (piece == 0) {  // counted over every kind
        EXPECT_EQ(error_of(r, 'r'), "dados.txt: X: missing, the file ends after 4 values");
      }
    }
  }
}

TEST(ListReader, Values) {
  // Long values read as strtod reads them: a halfway case between 1 and the
  // next double goes down to even, and a digit beyond the 800 kept sends it up.
  const std::string half = "1.00000000000000011102230246251565404236316680908203125",
                    zeros(800, '0');
  const std::string longs[] = {half + zeros, half + zeros + "1", "1" + zeros + "00e-790",
                               "-0." + zeros + "49406564584124654e477"};
  const struct { std::string text; double value; } reals[] = {
      {"1,5", 1.0}, {"1.5D3", 1500.0}, {"1.5d3", 1500.0}, {"1.5E+3", 1500.0}, {"1.5+3", 1500.0},
      {"15e2", 1500.0}, {"+1500.", 1500.0}, {"25-1", 2.5}, {"+.5", 0.5}, {"0.1", 0.1},
      {"3*0.25", 0.25}, {"2/", 2.0}, {"0.000001e6", 1.0}, {"1e-400", 0.0}, {"-0", -0.0},
      {"-1e-400", -0.0}, {"-1e-330", -0.0}, {"-1e-9999999999", -0.0}, {"-0e99", -0.0},
      {"4.9406564584124654e-324", D::denorm_min()}, {"-Infinity", -D::infinity()},
      {"inf", D::infinity()}, {"NaN", D::quiet_NaN()}, {"-nan", -D::quiet_NaN()}};
  for (const auto& row : reals)  // bit for bit: a zero's sign counts
    EXPECT_EQ(std::bit_cast<std::uint64_t>(reader(row.text).read_real("X")),
              std::bit_cast<std::uint64_t>(row.value)) << row.text;
  for (const std::string& text : longs)
    EXPECT_EQ(reader(text).read_real("X"), std::strtod(text.c_str(), nullptr)) << text.size();
  for (const auto& [text, value] : {std::pair{"+12", 12}, {"2*9", 9}, {"-2147483648", INT_MIN}})
    EXPECT_EQ(reader(text).read_integer("IT"), value);
  const struct { std::string line, text; } names[] = {
      {"\"a, b / c\"", "a, b / c"}, {"\"say \"\"hi\"\"\"", "say \"hi\""}, {"a,b", "a"},
      {"2*x", "x"}, {"'" + std::string(60, 'n') + "'", std::string(50, 'n')}};
  for (const auto& row : names)
    EXPECT_EQ(rt::trimmed(reader(row.line).read_text("NOME")), row.text);
}

TEST(ListReader, WhatGivesNoValue) {
  const std::string z40(40, 'z'), junk = std::string("\x01\x7F\xFF\"\\") + std::string(100, 'z'),
                    utf16 = ": the file is saved as UTF-16 (\"Unicode\"); save it as UTF-8 or ANSI",
                    real = ":1: X: expected a real number, found \"",
                    large = ": X: the number is too large for a double, found \"",
                    range = ":1: IT: expected an integer from -2147483648 to 2147483647, found \"";
  const struct { char kind; std::string bytes, message; } rows[] = {  // after "dados.txt"
      {'r', "1.5E\n", real + "1.5E\""}, {'r', ".\n", real + ".\""}, {'r', z40, real + z40 + "\""},
      {'r', "1.2.3", real + "1.2.3\""}, {'r', "\n\n1e309", ":3" + large + "1e309\""},
      {'r', "1e99999999999999", ":1" + large + "1e99999999999999\""},
      {'r', "  , 5\n", ":1: X: missing, the line has no value before its comma"},
      {'r', "/\n", ":1: X: missing, a slash stands where the value should be"},
      {'r', "3* 5\n", ":1: X: missing, the repeat count \"3*\" gives no value"},
      {'r', "0*5\n", ":1: X: a repeat count must be at least 1, found \"0*\""},
      {'r', "", ": X: missing, the file holds no value"}, {'r', "*5", real + "*5\""},
      {'r', "7 remark\n\n", ": X: missing, the file ends after 1 value"},
      {'r', std::string("\xFF\xFE" "1\0\n\0", 6), utf16},
      {'r', std::string("\xFE\xFF" "\0" "1\0\n", 6), utf16},
      {'r', junk, real + "\\x01\\x7F\\xFF\\\"\\\\" + std::string(35, 'z') +
                      "\" (cut; 105 bytes in all)"},
      {'i', "5.0\n", ":1: IT: expected an integer, found \"5.0\""},
      {'i', "-\n", ":1: IT: expected an integer, found \"-\""},
      {'i', "2147483648\n", range + "2147483648\""}, {'i', "-2147483649", range + "-2147483649\""},
      {'i', "99999999999999999999999\n", range + "99999999999999999999999\""},
      {'t', "'never closed\nnext'\n", ":1: NOME: the closing ' is missing on the line"},
      {'t', "'a'b\n", ":1: NOME: expected a blank or a comma after the closing ', found \"b\""},
      {'t', ",x\n", ":1: NOME: missing, the line has no value before its comma"}};
  for (const auto& row : rows)
    EXPECT_EQ(error_of(reader(row.bytes), row.kind), "dados.txt" + row.message) << row.bytes;
}

}  // namespace
