// Result files large enough for the helper thread: the bytes are those of
// the plain writer in order, a write that fails in the helper ends the run
// naming the file, and a file dropped unfinished leaves nothing behind.

#include "runtime/record_file.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "runtime/list_number.hpp"
#include "runtime/list_number_reference.hpp"
#include "runtime/platform.hpp"
#include "runtime/run_error.hpp"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 100000;  // about 7 MB, some hundred hand-overs

// A fresh working directory for the test, removed after it.
class InFolder {
 public:
  InFolder() : before_(fs::current_path()) {
    folder_ = fs::temp_directory_path() /
              ("arrasto-record-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder_);
    fs::current_path(folder_);
  }
  ~InFolder() {
    fs::current_path(before_);
    fs::remove_all(folder_);
  }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path before_;
  fs::path folder_;
};

std::string read(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary) << bytes;
}

// Writes the records of a sweep-like file to f, and the same bytes built
// with the plain writer to expected.
void sweep(rt::RecordFile& f, std::string* expected) {
  const std::string end(rt::line_end());
  const auto plain = [&](double x) {
    char field[rt::kDoubleField];
    rt::format_double_reference(x, field);
    if (expected) expected->append(field, sizeof field);
  };
  const std::string header = " # header";
  const std::string long_text(3000, 'x');  // noted in pieces
  f.begin_record();
  f.text(header);
  f.end_record();
  if (expected) *expected += " " + header + end;
  for (int i = 1; i <= kRecords; ++i) {
    const double M = (0.9 / kRecords) * i;
    f.begin_record();
    if (expected) *expected += " ";
    for (const double x : {M, M * 1224.0, 1.0 / M}) {
      f.real(x);
      plain(x);
    }
    if (i % 9973 == 0) {
      const auto y = static_cast<float>(M);
      f.single(y);
      f.text(long_text);
      char field[rt::kFloatField];
      rt::format_float_reference(y, field);
      if (expected) expected->append(field, sizeof field).append(long_text);
    }
    f.end_record();
    if (expected) *expected += end;
  }
}

TEST(RecordFileHelper, ManyRecordsGiveThePlainWritersBytesInOrder) {
  InFolder folder;
  std::string expected;
  {
    rt::RecordFile f("curva");
    sweep(f, &expected);
    f.close();
  }
  EXPECT_EQ(folder.files(), std::vector<std::string>{"curva"});
  const std::string got = read("curva");
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

TEST(RecordFileHelper, AFileDroppedUnfinishedLeavesTheOlderOneAndNoTemporary) {
  InFolder folder;
  write("curva", "older\n");
  {
    rt::RecordFile f("curva");
    sweep(f, nullptr);
  }  // as when the run stops on an error elsewhere
  EXPECT_EQ(folder.files(), std::vector<std::string>{"curva"});
  EXPECT_EQ(read("curva"), "older\n");
}

#ifndef _WIN32
// In a child process, so that the file size limit stays there.
TEST(RecordFileHelper, AWriteThatFailsInTheHelperEndsTheRunNamingTheFile) {
  InFolder folder;
  write("curva", "older\n");
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(pipe_ends[0]);
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    const rlimit limit{1 << 20, 1 << 20};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::string message = "no error";
    try {
      rt::RecordFile f("curva");
      sweep(f, nullptr);
      f.close();
    } catch (const rt::RunError& error) {
      message = error.what();
    }
    (void)!::write(pipe_ends[1], message.data(), message.size());
    ::_exit(0);
  }
  ::close(pipe_ends[1]);
  std::string message;
  char buffer[256];
  for (ssize_t n; (n = ::read(pipe_ends[0], buffer, sizeof buffer)) > 0;) message.append(buffer, n);
  ::close(pipe_ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(message, "curva: cannot write: File too large");
  EXPECT_EQ(folder.files(), std::vector<std::string>{"curva"});
  EXPECT_EQ(read("curva"), "older\n");
}
#endif

}  // namespace
