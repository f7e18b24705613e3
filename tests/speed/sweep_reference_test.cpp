// The optimised arrasto (drag routines inlined into the sweep across files,
// math calls hoisted and merged) against arrasto_reference, the same sources
// built with no inlining and no link-time optimisation, each routine called
// on its own. Long sweeps over rockets covering every nose shape, both fin
// edge profiles, motor on and off, lug or none, the three length units and
// Mach ranges past 1 must give the same three result files, byte for byte.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// Lines 2 to 26 of a data file after the run name; IT is 25,000 each.
//  U  TO1  PO1    RETC    RETE   MMAX  IT    NA LNA  DNA LC   DC  N AC E   RC  TC  S   SC MOT DT NT DETB ETB LTB
const char* const kRockets[] = {
    "1 20 101.325 500000 500000 0.9 25000 1 120 40 600 40 4 1 2 80 40 50 30 0 10 1 8 1 30",
    "2 -5 95 300000 800000 1.5 25000 2 0.4 0.13 2 0.13 3 2 0.01 0.3 0.12 0.16 0.1 1 0.03 0 0.03 0.003 0.1",
    "3 35 101.325 1e6 5e5 2.0 25000 3 5 1.6 24 1.6 4 1 0.1 3 1.5 2 1 1 0.4 1 0.3 0.04 1.2",
    "1 -10 80 500000 500000 0.7 25000 4 90 30 400 30 3 2 3 70 35 45 25 0 8 1 6 1 40",
    "1 15 101.325 200000 200000 1.0 25000 1 200 66 1200 66 4 2 4 150 70 90 60 1 29 0 10 1 50",
    "1 25 100 500000 500000 1.0 25000 2 60 24 300 24 3 1 1.5 50 25 30 20 0 6 0 5 1 20",
    "1 0 101.325 800000 300000 3.0 25000 3 150 50 900 50 4 2 2.5 100 50 60 40 0 12 1 10 1.5 25",
    "1 30 90 500000 500000 0.95 25000 4 300 98 2000 98 6 1 5 250 120 150 100 1 54 1 12 2 60",
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs exe in folder with a PATH that holds no editor; returns its status.
int run(const char* exe, const fs::path& folder) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    ::setenv("PATH", (folder / "no-editor").c_str(), 1);
    ::execl(exe, exe, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The files a run left beside dados.txt, by name.
std::map<std::string, std::string> results(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().filename() != "dados.txt")
      files[entry.path().filename().string()] = slurp(entry.path());
  return files;
}

TEST(Sweep, OptimisedAndUninlinedBuildsWriteTheSameFiles) {
  std::string pattern = (fs::temp_directory_path() / "arrasto-sweep-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;

  for (std::size_t r = 0; r < std::size(kRockets); ++r) {
    std::string data = "foguete" + std::to_string(r) + "\n";
    std::istringstream values(kRockets[r]);
    for (std::string value; values >> value;) data += value + "\n";

    std::map<std::string, std::string> got[2];
    const char* const programs[2] = {ARRASTO_EXE, ARRASTO_REFERENCE_EXE};
    for (int p = 0; p < 2; ++p) {
      const fs::path folder = root / (std::to_string(r) + "-" + std::to_string(p));
      fs::create_directories(folder);
      std::ofstream(folder / "dados.txt", std::ios::binary) << data;
      ASSERT_EQ(run(programs[p], folder), 0) << programs[p] << ", rocket " << r;
      got[p] = results(folder);
    }
    ASSERT_EQ(got[0].size(), 3u) << "rocket " << r;
    for (const auto& [name, bytes] : got[0]) {
      EXPECT_GT(bytes.size(), 400u) << name;
      EXPECT_TRUE(bytes == got[1][name]) << name << ", rocket " << r;
    }
  }
  fs::remove_all(root);
}

}  // namespace
