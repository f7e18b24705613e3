// Reading values by the list-directed convention, and the one-line errors
// for everything that does not give a value.

#include "runtime/io/list_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/run_error.hpp"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

rt::ListReader reader(const std::string& bytes) { return rt::ListReader("dados.txt", bytes); }

double real(const std::string& line) { return reader(line).read_real("X"); }

std::string name(const std::string& line) {
  return std::string(rt::trimmed(reader(line).read_text("NOME")));
}

// The message of the error reading one value of the given kind.
template <typename Read>
std::string error_of(const std::string& bytes, Read read) {
  rt::ListReader r = reader(bytes);
  try {
    read(r);
  } catch (const rt::RunError& e) {
    return e.what();
  }
  return "no error";
}

std::string real_error(const std::string& bytes) {
  return error_of(bytes, [](rt::ListReader& r) { r.read_real("X"); });
}

std::string integer_error(const std::string& bytes) {
  return error_of(bytes, [](rt::ListReader& r) { r.read_integer("IT"); });
}

TEST(ListReader, LineEndsBlanksRemarksAndByteOrderMarks) {
  // LF, CR LF and a lone CR (classic Mac) each end one line.
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    rt::ListReader r = reader("\xEF\xBB\xBF" "1" + end + " \t" + end + "\t2.5\tx" + end + "'a b'" +
                              end + "4,8");
    EXPECT_EQ(r.read_integer("U"), 1);
    EXPECT_EQ(r.read_real("X"), 2.5);
    EXPECT_EQ(r.line(), 3);
    EXPECT_EQ(std::string(rt::trimmed(r.read_text("NOME"))), "a b");
    EXPECT_EQ(r.read_integer("IT"), 4);  // no line end after it, and the 8 is never read
    EXPECT_EQ(r.line(), 5);
    try {
      r.read_real("Y");
      ADD_FAILURE();
    } catch (const rt::RunError& e) {
      EXPECT_STREQ(e.what(), "dados.txt: Y: missing, the file ends after 4 values");
    }
    EXPECT_EQ(real_error(end + end + "x" + end),
              "dados.txt:3: X: expected a real number, found \"x\"");
  }
  // Notepad's "Unicode", in either byte order, is refused as such.
  for (const char* mark : {"\xFF\xFE", "\xFE\xFF"})
    EXPECT_EQ(real_error(std::string(mark) + std::string("1\0\n\0", 4)),
              "dados.txt: the file is saved as UTF-16 (\"Unicode\"); save it as UTF-8 or ANSI");
}

// Fed through a source in pieces of every size, the reader gives the same
// values, and asks for no byte beyond the piece holding the last value's
// end: the endless tail after it is never read.
TEST(ListReader, ReadsAStreamNoFurtherThanItsLastValue) {
  const std::string data = "\xEF\xBB\xBF'a b' x\r\n\r\n7*1.5 remark\r\n3\r\n";
  for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{1} << 30}) {
    std::uint64_t given = 0;
    const std::uint64_t tail = std::uint64_t{1} << 40;
    rt::ListReader r("dados.txt", [&](char* buffer, std::size_t size) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::uint64_t>({size, piece, tail - given}));
      for (std::size_t i = 0; i < n; ++i, ++given)
        buffer[i] = given < data.size() ? data[given] : '9';
      return n;
    });
    EXPECT_EQ(rt::trimmed(r.read_text("NOME")), "a b");
    EXPECT_EQ(r.read_real("X"), 1.5);
    EXPECT_EQ(r.line(), 3);
    EXPECT_EQ(r.read_integer("IT"), 3);
    EXPECT_EQ(r.line(), 4);
    EXPECT_LE(given, data.size() + std::min<std::size_t>(piece, std::size_t{1} << 16)) << piece;
  }
}

#ifndef _WIN32
// The data file on disk: values before an 8 GiB sparse tail read at once,
// and a FIFO is refused instead of waiting for a writer.
TEST(ListReader, FromAFile) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("arrasto-reader-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string grande = (dir / "grande.txt").string(), fifo = (dir / "dados.txt").string();
  std::ofstream(grande) << "foguete\n2.5\n";
  std::filesystem::resize_file(grande, std::uintmax_t{8} << 30);
  rt::ListReader r(grande);
  EXPECT_EQ(rt::trimmed(r.read_text("NOME")), "foguete");
  EXPECT_EQ(r.read_real("X"), 2.5);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string message;
  try {
    rt::ListReader{fifo};
  } catch (const rt::RunError& e) {
    message = e.what();
  }
  EXPECT_EQ(message, fifo + ": cannot read: not a regular file");
  std::filesystem::remove_all(dir);
}
#endif

TEST(ListReader, RealSpellings) {
  EXPECT_EQ(real("1,5"), 1.0);  // a decimal comma ends the value
  for (const char* spelling : {"1.5D3", "1.5d3", "1.5E+3", "1.5+3", "15e2", "+1500."})
    EXPECT_EQ(real(spelling), 1500.0) << spelling;
  EXPECT_EQ(real("25-1"), 2.5);
  EXPECT_EQ(real("+.5"), 0.5);
  EXPECT_EQ(real("0.1"), 0.1);  // correctly rounded
  EXPECT_EQ(real("3*0.25"), 0.25);
  EXPECT_EQ(real("2/"), 2.0);
  EXPECT_EQ(real("1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(real("-0")));
  EXPECT_EQ(real("4.9406564584124654e-324"), 4.9406564584124654e-324);
  EXPECT_EQ(real("0.000001e6"), 1.0);
  EXPECT_EQ(real("-Infinity"), -HUGE_VAL);
  EXPECT_EQ(real("inf"), HUGE_VAL);
  EXPECT_TRUE(std::isnan(real("NaN")));
}

TEST(ListReader, MalformedAndMissingReals) {
  EXPECT_EQ(real_error("1.5E\n"), "dados.txt:1: X: expected a real number, found \"1.5E\"");
  EXPECT_EQ(real_error(".\n"), "dados.txt:1: X: expected a real number, found \".\"");
  EXPECT_EQ(real_error("1.2.3\n"), "dados.txt:1: X: expected a real number, found \"1.2.3\"");
  EXPECT_EQ(real_error("\n\n1e309"),
            "dados.txt:3: X: the number is too large for a double, found \"1e309\"");
  EXPECT_EQ(real_error("1e99999999999999"),
            "dados.txt:1: X: the number is too large for a double, found \"1e99999999999999\"");
  EXPECT_EQ(real_error("  , 5\n"), "dados.txt:1: X: missing, the line has no value before its comma");
  EXPECT_EQ(real_error("/\n"), "dados.txt:1: X: missing, a slash stands where the value should be");
  EXPECT_EQ(real_error("3* 5\n"), "dados.txt:1: X: missing, the repeat count \"3*\" gives no value");
  EXPECT_EQ(real_error("0*5\n"), "dados.txt:1: X: a repeat count must be at least 1, found \"0*\"");
  EXPECT_EQ(real_error(""), "dados.txt: X: missing, the file holds no value");
  // Binary junk and long values are shown escaped and cut.
  EXPECT_EQ(real_error(std::string("\x01\x7F\xFF\"\\") + std::string(100, 'z')),
            "dados.txt:1: X: expected a real number, found \"\\x01\\x7F\\xFF\\\"\\\\" +
                std::string(35, 'z') + "\" (cut; 105 bytes in all)");
}

TEST(ListReader, Integers) {
  EXPECT_EQ(reader("+12").read_integer("IT"), 12);
  EXPECT_EQ(reader("-2147483648").read_integer("IT"), -2147483648);
  EXPECT_EQ(reader("2*9").read_integer("IT"), 9);
  EXPECT_EQ(integer_error("5.0\n"), "dados.txt:1: IT: expected an integer, found \"5.0\"");
  EXPECT_EQ(integer_error("1e3\n"), "dados.txt:1: IT: expected an integer, found \"1e3\"");
  EXPECT_EQ(integer_error("-\n"), "dados.txt:1: IT: expected an integer, found \"-\"");
  EXPECT_EQ(integer_error("2147483648\n"),
            "dados.txt:1: IT: expected an integer from -2147483648 to 2147483647, found "
            "\"2147483648\"");
  EXPECT_EQ(integer_error("99999999999999999999999\n"),
            "dados.txt:1: IT: expected an integer from -2147483648 to 2147483647, found "
            "\"99999999999999999999999\"");
}

TEST(ListReader, Names) {
  EXPECT_EQ(name("\"a, b / c\""), "a, b / c");
  EXPECT_EQ(name("\"say \"\"hi\"\"\""), "say \"hi\"");
  EXPECT_EQ(name("a,b"), "a");
  EXPECT_EQ(name("2*x"), "x");
  EXPECT_EQ(name("'" + std::string(60, 'n') + "'"), std::string(50, 'n'));
  const auto text_error = [](const std::string& bytes) {
    return error_of(bytes, [](rt::ListReader& r) { r.read_text("NOME"); });
  };
  EXPECT_EQ(text_error("'never closed\nnext'\n"),
            "dados.txt:1: NOME: the closing ' is missing on the line");
  EXPECT_EQ(text_error("'a'b\n"),
            "dados.txt:1: NOME: expected a blank or a comma after the closing ', found \"b\"");
  EXPECT_EQ(text_error(",x\n"), "dados.txt:1: NOME: missing, the line has no value before its comma");
}

}  // namespace
