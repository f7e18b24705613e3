// Where the reader says each value stands: the page's form replaces exactly
// these bytes. The file is fed a byte at a time too, so that every value
// crosses the reader's buffer edges.

#include <gtest/gtest.h>

#include <string>

#include "runtime/io/list_reader.hpp"

namespace {

TEST(ValueSpans, CoverEachValueWhereverTheBufferEnds) {
  const struct {
    const char* file;
    std::string first, second;  // the bytes of the name's and the integer's spans
    int second_line;
  } cases[] = {
      {"foguete  remark\n2  U\n", "foguete", "2", 2},
      {"\xEF\xBB\xBF" "foguete\r\n\r\n  -7,x\r\n", "foguete", "-7", 3},
      {"'Meu ''F'' 1' x\n3*12 rest\n", "'Meu ''F'' 1'", "12", 2},
      {"a\n\t+4/\n", "a", "+4", 2},
  };
  for (const auto& c : cases) {
    const std::string bytes = c.file;
    for (const bool byte_by_byte : {false, true}) {
      std::size_t at = 0;
      rt::ListReader reader =
          byte_by_byte ? rt::ListReader("dados.txt",
                                        [&](char* buffer, std::size_t) -> std::size_t {
                                          if (at == bytes.size()) return 0;
                                          *buffer = bytes[at++];
                                          return 1;
                                        })
                       : rt::ListReader("dados.txt", bytes);
      reader.read_text("NOME");
      reader.read_integer("U");
      ASSERT_EQ(reader.spans().size(), 2u);
      const auto& name = reader.spans()[0];
      const auto& value = reader.spans()[1];
      EXPECT_EQ(bytes.substr(name.begin, name.end - name.begin), c.first) << c.file;
      EXPECT_EQ(bytes.substr(value.begin, value.end - value.begin), c.second) << c.file;
      EXPECT_EQ(value.line, c.second_line) << c.file;
      EXPECT_EQ(value.name, "U");
    }
  }
}

TEST(ValueSpans, TheValueAtFaultHasItsSpan) {
  // A decimal comma's number is taken whole, not only up to its comma.
  for (const auto& [file, span] : {std::pair{"x\n5.0 IT\n", "5.0"}, {"x\n9,5 IT\n", "9,5"},
                                   {"x\n1,500,000, IT\n", "1,500,000"}, {"x\n3*0,5\n", "0,5"}}) {
    const std::string bytes = file;
    rt::ListReader reader("dados.txt", bytes);
    reader.read_text("NOME");
    EXPECT_THROW(reader.read_integer("IT"), std::exception);
    ASSERT_EQ(reader.spans().size(), 2u);
    const auto& value = reader.spans()[1];
    EXPECT_EQ(bytes.substr(value.begin, value.end - value.begin), span);
  }
}

}  // namespace
