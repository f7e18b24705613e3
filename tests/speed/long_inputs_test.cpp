// The data file reader on megabyte lines: every path through a long line
// must be linear (the test's timeout catches one that is not), and each
// input either reads whole or ends in its one short message. The seed
// corpus is replayed by the fuzz target itself (.ci/sanitizers.sh), with
// the same checks.

#include <gtest/gtest.h>

#include <string>

#include "data_file_check.hpp"

namespace {

using arrasto_fuzz::check_data_file;
using arrasto_fuzz::Outcome;

// The example's 26 values after the run name, one a line.
const std::string kResto =
    "1\n20\n101.325\n500000\n500000\n0.9\n9\n2\n120\n40\n600\n40\n4\n1\n2\n80\n40\n50\n30\n0\n10\n"
    "1\n8\n1\n30\n";

constexpr std::size_t kMega = std::size_t{1} << 20;

// A row reads whole (with the run name given, when there is one) or ends in
// the one short message given.
TEST(FuzzLongInputs, MegabyteLinesReadInLinearTimeAndEndInOneShortMessage) {
  std::string doubled = "'";
  for (std::size_t i = 0; i < kMega / 2; ++i) doubled += "''";
  const std::string at_to1 = "foguete\n1\n", rest = kResto.substr(5);
  const struct { std::string bytes; bool reads; std::string expected; } rows[] = {
      {std::string(kMega, ' ') + "\nfoguete\n" + kResto, true, "foguete"},
      {std::string(100000, '\n') + "foguete\n" + kResto, true, "foguete"},
      {std::string(kMega, 'n') + "\n" + kResto, true, std::string(50, 'n')},
      {doubled + "'\n" + kResto, true, std::string(50, '\'')},
      {"foguete " + std::string(kMega, 'r') + "\n" + kResto, true, "foguete"},
      // Long but in range: a megabyte of digits that is a small number.
      {at_to1 + "0." + std::string(kMega, '0') + "1\n" + rest, true, ""},
      {at_to1 + "1e" + std::string(kMega, '0') + "1\n" + rest, true, ""},
      {at_to1 + std::string(kMega, '0') + "1.5\n" + rest, true, ""},
      {at_to1 + "1." + std::string(kMega, '3') + "\n" + rest, true, ""},
      {at_to1 + std::string(kMega, '1') + "*20\n" + rest, true, ""},
      {std::string(1, '\'').append(kMega, 'x') + "\n" + kResto, false,
       "dados.txt:1: NOME: the closing ' is missing on the line"},
      {"foguete\n" + std::string(kMega, '7') + "\n" + kResto, false,
       "dados.txt:2: U: expected an integer from -2147483648 to 2147483647, found \"" +
           std::string(40, '7') + "\" (cut; 1048576 bytes in all)"},
      {at_to1 + std::string(kMega, '9') + "\n" + kResto, false,
       "dados.txt:3: TO1: the number is too large for a double"},
      {std::string(kMega, '\n'), false, "dados.txt: NOME: missing, the file holds no value"},
      // Remarks and decimal commas: a label after a megabyte of blanks, a
      // word that only begins with a name, a megabyte on either side of a comma.
      {"foguete\n1" + std::string(kMega, ' ') + "TO1\n" + rest, false,
       "dados.txt:2: U: the line is labelled TO1"},
      {"foguete\n1 U" + std::string(kMega, 'U') + "\n" + kResto.substr(2), true, "foguete"},
      {at_to1 + "20," + std::string(kMega, '5') + "\n" + rest, false,
       "dados.txt:3: TO1: \"20," + std::string(37, '5') + "\" (cut; 1048579 bytes in all) has a "
                                                        "comma between two digits"},
      {at_to1 + std::string(kMega, '2') + ",5\n" + rest, false,
       "dados.txt:3: TO1: \"" + std::string(40, '2') + "\" (cut; 1048578 bytes in all) has a "
                                                       "comma between two digits"}};
  for (const auto& row : rows) {
    const Outcome o = check_data_file(row.bytes);
    EXPECT_EQ(o.fault, "") << row.expected;
    EXPECT_EQ(o.read_all, row.reads) << o.message;
    if (!row.reads) {
      EXPECT_EQ(o.message.substr(0, row.expected.size()), row.expected);
    } else if (!row.expected.empty()) {
      // The run name as read: the first 50 bytes of the values.
      EXPECT_EQ(o.values.substr(0, 50), row.expected + std::string(50 - row.expected.size(), ' '));
    }
  }
}

}  // namespace
