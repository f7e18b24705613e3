// A result file of a few buffers' worth of records, with numbers and texts
// straddling the buffer's edges and a text longer than the buffer, while
// the full buffers go to the disk on the writer thread: the bytes are those
// of the plain writer, in order, and only the file itself is left.

#include "runtime/io/record_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "runtime/io/list_number_reference.hpp"

namespace {

namespace fs = std::filesystem;

TEST(RecordFile, RecordsAcrossTheBufferEdgesGiveThePlainWritersBytes) {
  const fs::path before = fs::current_path();
  const fs::path folder =
      fs::temp_directory_path() / ("arrasto-record-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  fs::current_path(folder);
  std::string expected;
  char field[rt::kDoubleField];
  rt::RecordFile f("curva");
  for (int i = 1; i <= 40000; ++i) {  // about three buffers
    const double M = (0.9 / 40000) * i;
    f.begin_record();
    f.real(M);
    f.real(rt::DoubleField(1.0 / M));  // a field worked out once, for two files
    expected += " ";
    for (const double x : {M, 1.0 / M})
      rt::format_double_reference(x, field), expected.append(field, sizeof field);
    if (i % 97 == 0 || i == 15000) {  // a single, and a text of odd length or too long
      const std::string text(i == 15000 ? 1500000 : i % 61, static_cast<char>('a' + i % 26));
      f.single(static_cast<float>(M));
      f.text(text);
      rt::format_float_reference(static_cast<float>(M), field);
      expected.append(field, rt::kFloatField).append(text);
    }
    f.end_record();
    expected += rt::line_end();
  }
  f.close();
  const auto left = std::distance(fs::directory_iterator(folder), fs::directory_iterator());
  std::ostringstream got;
  got << std::ifstream("curva", std::ios::binary).rdbuf();
  fs::current_path(before);
  fs::remove_all(folder);
  EXPECT_EQ(left, 1);
  EXPECT_TRUE(got.str() == expected) << got.str().size() << " bytes against " << expected.size();
}

}  // namespace
