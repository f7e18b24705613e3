// A result file of a few buffers' worth of records, with numbers and texts
// straddling the buffer's edges and a text longer than the buffer, while
// the full buffers go to the disk on the writer thread: the bytes are those
// of the plain writer, in order, and only the file itself is left.

#include "runtime/io/record_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "runtime/io/list_number_reference.hpp"

namespace {

namespace fs = std::filesystem;

TEST(RecordFile, RecordsAcrossTheBufferEdgesGiveThePlainWritersBytes) {
  const fs::path before = fs::current_path();
  const fs::path folder =
      fs::temp_directory_path() / ("arrasto-record-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  fs::current_path(folder);
  const std::string end(rt::line_end());
  std::string expected;
  rt::RecordFile f("curva");
  for (int i = 1; i <= 40000; ++i) {  // about three buffers
    const double M = (0.9 / 40000) * i;
    f.begin_record();
    expected += " ";
    for (const double x : {M, M * 1224.0, 1.0 / M}) {
      if (x == M) f.real(x);
      else f.real(rt::DoubleField(x));  // the field worked out once, for two files
      char field[rt::kDoubleField];
      rt::format_double_reference(x, field);
      expected.append(field, sizeof field);
    }
    if (i % 97 == 0 || i == 15000) {  // a single, and a text of odd length or too long
      const std::string text(i == 15000 ? 1500000 : i % 61, static_cast<char>('a' + i % 26));
      char field[rt::kFloatField];
      rt::format_float_reference(static_cast<float>(M), field);
      f.single(static_cast<float>(M));
      f.text(text);
      expected.append(field, sizeof field).append(text);
    }
    f.end_record();
    expected += end;
  }
  f.close();
  const std::vector<fs::directory_entry> left{fs::directory_iterator(folder), {}};
  std::ifstream in("curva", std::ios::binary);
  const std::string got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  fs::current_path(before);
  fs::remove_all(folder);
  EXPECT_EQ(left.size(), 1u);
  EXPECT_TRUE(got == expected) << got.size() << " bytes against " << expected.size();
}

}  // namespace
