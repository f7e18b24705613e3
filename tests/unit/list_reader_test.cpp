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
#include <string_view>
#include <utility>
#include <vector>

#include "data_file_check.hpp"
#include "runtime/run_error.hpp"

namespace {

using D = std::numeric_limits<double>;

rt::ListReader reader(const std::string& bytes) { return rt::ListReader("dados.txt", bytes); }

// The message of the error that ends reading values of one kind: i for
// integers, t for texts, g for reals that may be written in thousands, else
// reals.
std::string error_of(rt::ListReader r, char kind) {
  try {
    for (;;) kind == 'i'   ? void(r.read_integer("IT"))
             : kind == 't' ? void(r.read_text("NOME"))
             : kind == 'g' ? void(r.read_real("X", rt::ListReader::Thousands::possible))
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
                             end + "2*4, 8";
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
      {"1, 5", 1.0}, {"1,x", 1.0}, {"1,,5", 1.0}, {"1,/5", 1.0}, {"Inf,5", D::infinity()},
      {"1.,5", 1.0}, {"1.5D3", 1500.0}, {"1.5d3", 1500.0}, {"1.5E+3", 1500.0}, {"1.5+3", 1500.0},
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
  for (const auto& [text, value] :
       {std::pair{"+12", 12}, {"2*9", 9}, {"-2147483648", INT_MIN}, {"2, 5", 2}})
    EXPECT_EQ(reader(text).read_integer("IT"), value);
  const struct { std::string line, text; } names[] = {
      {"\"a, b / c\"", "a, b / c"}, {"\"say \"\"hi\"\"\"", "say \"hi\""}, {"a,b", "a"},
      {"2*x", "x"}, {std::string(1, '\'').append(60, 'n') + "'", std::string(50, 'n')}};
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
      {'t', ",x\n", ":1: NOME: missing, the line has no value before its comma"},
      // A comma between two digits, with what to write instead.
      {'r', "0,9  MMAX\n", ":1: X: \"0,9\" has a decimal comma; write 0.9"},
      {'r', "-1,5e3,x", ":1: X: \"-1,5e3\" has a decimal comma; write -1.5e3"},
      {'r', "3*0,5", ":1: X: \"3*0,5\" has a decimal comma; write 3*0.5"},
      {'r', "101,325", ":1: X: \"101,325\" has a decimal comma; write 101.325"},
      {'g', "101,325/", ":1: X: \"101,325\" has a comma: write 101325 if it separates "
                        "thousands, or 101.325 if it marks the decimals"},
      {'g', "0,500", ":1: X: \"0,500\" has a decimal comma; write 0.500"},
      {'g', "1,5000", ":1: X: \"1,5000\" has a decimal comma; write 1.5000"},
      {'r', "1,500,000, x", ":1: X: \"1,500,000\" has a thousands separator; write 1500000"},
      {'r', "1.5,3", ":1: X: \"1.5,3\" has a comma between two digits; write the number with a "
                     "decimal point and no comma"},
      {'r', "1,5e999", ":1: X: \"1,5e999\" has a comma between two digits; write the number "
                       "with a decimal point and no comma"},
      {'r', "1," + std::string(39, '5'),  // longer than a message shows: no suggestion
       ":1: X: \"1," + std::string(38, '5') +
           "\" (cut; 41 bytes in all) has a comma between two digits; write the number with a "
           "decimal point and no comma"},
      {'i', "9,5", ":1: IT: \"9,5\" has a comma between two digits; this value is a whole "
                   "number, written with digits only"},
      {'i', "9,999,999,999", ":1: IT: \"9,999,999,999\" has a comma between two digits; this "
                             "value is a whole number, written with digits only"},
      {'i', "2*1,000", ":1: IT: \"2*1,000\" has a thousands separator; write 2*1000"}};
  for (const auto& row : rows)
    EXPECT_EQ(error_of(reader(row.bytes), row.kind), "dados.txt" + row.message) << row.bytes;
}

// With the names known: a remark whose first word is another value's name,
// and a file that ends early, each named with the line it concerns.
TEST(ListReader, LabelsAndAnEarlyEndWithTheNamesKnown) {
  static constexpr std::string_view names[] = {"NOME", "IT", "MMAX", "N"};
  const auto outcome = [](const std::string& bytes) -> std::string {
    rt::ListReader r = reader(bytes);
    r.expect_names(names);
    try {
      r.read_text("NOME"), r.read_integer("IT"), r.read_real("MMAX"), r.read_real("N");
      return "read";
    } catch (const rt::RunError& e) {
      return e.what();
    }
  };
  const std::string shifted = ": a line above it is missing or extra, or the label is wrong",
                    mmax = ":2: IT: the line is labelled MMAX" + shifted,
                    n = ":2: IT: the line is labelled N" + shifted;
  const struct { std::string bytes, message; } rows[] = {  // after "dados.txt"
      {"a NOME\n9 IT\n0.9 MMAX: Mach\n4 N=4\n", "read"},
      {"a\n9 mmax\n0.9 MMAXIMO\n4 NN\n", "read"},    // lower case, a longer word
      {"a\n9 pontos MMAX\n0.9 M\n4 IT.\n", "read"},  // not the first word, not a name
      {"a\n0.9 MMAX\n4 N\n", mmax},  // before the integer reading refuses 0.9
      {"a\r\n9\tMMAX\r\n", mmax}, {"a\n9 MMAX\n", mmax}, {"a\n9 N:\n", n}, {"a\n9 N=4\n", n},
      {"a\n9,N\n", n}, {"a\n9 , N\n", n}, {"a\n9/N\n", n}, {"a\n9 N(fins)\n", n},
      {"a\n9, N,\n", n}, {"'a b' IT\n", ":1: NOME: the line is labelled IT" + shifted},
      {"a\n9\n\n \n", ":2: IT: the file holds 2 of the 4 values and ends after this one; MMAX, "
                     "or a line above, is missing"},
      {"a\n", ":1: NOME: the file holds 1 of the 4 values and ends after this one; IT, or a line "
              "above, is missing"},
      {" \n", ": NOME: missing, the file holds no value"}};
  for (const auto& row : rows)
    EXPECT_EQ(outcome(row.bytes), row.message == "read" ? "read" : "dados.txt" + row.message)
        << row.bytes;
}

// The values no real air or rocket can have are refused on their own line,
// with the range they must lie in; the values at the edges of the ranges,
// and those left to the user (Reynolds numbers, Mach, counts, codes), read.
TEST(DataFile, ImpossibleValuesAreRefusedOnTheirLine) {
  const std::vector<std::string> example = {
      "foguete", "1", "20", "101.325", "500000", "500000", "0.9", "9", "2", "120", "40", "600",
      "40", "4", "1", "2", "80", "40", "50", "30", "0", "10", "1", "8", "1", "30"};
  const std::string names[] = {"NOME", "U",  "TO1", "PO1", "RETC", "RETE", "MMAX", "IT", "NA",
                               "LNA",  "DNA", "LC", "DC",  "N",    "AC",   "E",    "RC", "TC",
                               "S",    "SC", "MOTORLIGADO", "DT", "NT",   "DETB", "ETB", "LTB"};
  struct Row {
    std::vector<std::pair<int, std::string>> lines;  // (line, text) replacing the example's
    std::string message;  // after "dados.txt:LINE: NAME: " of the last line; empty: reads
  };
  const std::string length = "a length must be a finite number of 0 or more, found ",
                    tube = "the body tube diameter must be a finite number above 0, found ",
                    air = "the air temperature must be a finite number above -273.15 (absolute "
                          "zero), found ",
                    pressure = "the air pressure must be a finite number above 0 kPa, found ",
                    fins = "the number of fins must be a finite number of 0 or more, found ",
                    converted = " is too large once converted to millimetres";
  std::vector<Row> rows = {
      {{{3, "-273.15"}}, air + "\"-273.15\""}, {{{3, "NaN"}}, air + "\"NaN\""},
      {{{3, "inf"}}, air + "\"inf\""}, {{{3, "-273.14"}}, ""},
      {{{4, "0"}}, pressure + "\"0\""}, {{{4, "-101.325"}}, pressure + "\"-101.325\""},
      {{{4, "Infinity"}}, pressure + "\"Infinity\""}, {{{4, "1e-300"}}, ""},
      {{{14, "-4"}}, fins + "\"-4\""}, {{{14, "nan"}}, fins + "\"nan\""},
      {{{14, "inf"}}, fins + "\"inf\""}, {{{14, "-0"}}, ""},
      {{{13, "0"}}, tube + "\"0\""}, {{{13, "-0"}}, tube + "\"-0\""},
      {{{13, "1e-300"}}, ""}, {{{10, "-0"}}, ""}, {{{11, "NaN"}}, length + "\"NaN\""},
      {{{12, "Inf"}}, length + "\"Inf\""},
      {{{20, "-30"}}, ""},
      {{{20, "nan"}}, "the fin sweep must be a finite number (negative for fins swept forward), "
                      "found \"nan\""},
      {{{2, "2"}, {12, "1e306"}}, "\"1e306\"" + converted},
      {{{2, "3"}, {26, "1e307"}}, "\"1e307\"" + converted},
      {{{2, "2"}, {20, "-1e306"}}, "\"-1e306\"" + converted},
      {{{2, "2"}, {12, "5e305"}}, ""}, {{{2, "7"}, {12, "1e308"}}, ""},
      // Only a length in millimetres may be written in thousands.
      {{{12, "1,200"}}, "\"1,200\" has a comma: write 1200 if it separates thousands, or 1.200 if it "
                        "marks the decimals"},
      {{{2, "3"}, {12, "1,200"}}, "\"1,200\" has a decimal comma; write 1.200"},
      {{{5, "-5"}, {6, "0"}, {7, "-0.9"}, {8, "-9"}, {15, "-1"}, {21, "-1"}, {23, "-1"}}, ""}};
  // Every length, negative and zero.
  for (const int line : {10, 11, 12, 13, 16, 17, 18, 19, 20, 22, 24, 25, 26}) {
    rows.push_back({{{line, "-1"}}, line == 13   ? tube + "\"-1\""
                                    : line == 20 ? ""
                                                 : length + "\"-1\""});
    rows.push_back({{{line, "0"}}, line == 13 ? tube + "\"0\"" : ""});
  }
  for (const Row& row : rows) {
    std::vector<std::string> lines = example;
    for (const auto& [line, text] : row.lines) lines[line - 1] = text;
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\n";
    const arrasto_fuzz::Outcome o = arrasto_fuzz::check_data_file(bytes);
    const int last = row.lines.back().first;
    EXPECT_EQ(o.fault, "");
    EXPECT_EQ(o.read_all ? "" : o.message,
              row.message.empty() ? ""
                                  : "dados.txt:" + std::to_string(last) + ": " + names[last - 1] +
                                        ": " + row.message)
        << last << " " << row.lines.back().second;
  }
}

}  // namespace
