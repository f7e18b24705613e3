// A result file of many records, with numbers and texts straddling the
// buffer's edges and a text longer than the buffer: the bytes are those of
// the plain writer, in order, and only the file itself is left.

#include "runtime/io/record_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "runtime/io/list_number.hpp"
#include "runtime/io/list_number_reference.hpp"
#include "runtime/platform/platform.hpp"

namespace {

namespace fs = std::filesystem;

TEST(RecordFile, ManyRecordsGiveThePlainWritersBytesInOrder) {
  const fs::path before = fs::current_path();
  const fs::path folder =
      fs::temp_directory_path() / ("arrasto-record-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder);
  fs::current_path(folder);

  const std::string end(rt::line_end());
  std::string expected;
  {
    rt::RecordFile f("curva");
    f.begin_record();
    f.text(" # header");
    f.end_record();
    expected += "  # header" + end;
    const std::string long_text(200000, 'x');  // more than a buffer
    for (int i = 1; i <= 3000; ++i) {  // about three buffers
      const double M = (0.9 / 3000) * i;
      f.begin_record();
      expected += " ";
      for (const double x : {M, M * 1224.0, 1.0 / M}) {
        f.real(x);
        char field[rt::kDoubleField];
        rt::format_double_reference(x, field);
        expected.append(field, sizeof field);
      }
      if (i % 97 == 0) {  // a single and a text of odd lengths
        const auto y = static_cast<float>(M);
        f.single(y);
        char field[rt::kFloatField];
        rt::format_float_reference(y, field);
        expected.append(field, sizeof field);
        const std::string text(static_cast<std::size_t>(i % 61), 'a' + i % 26);
        f.text(text);
        expected += text;
      }
      if (i == 1500) {
        f.text(long_text);
        expected += long_text;
      }
      f.end_record();
      expected += end;
    }
    f.close();
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::ifstream in("curva", std::ios::binary);
  const std::string got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  in.close();
  fs::current_path(before);
  fs::remove_all(folder);

  EXPECT_EQ(names, std::vector<std::string>{"curva"});
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

}  // namespace
