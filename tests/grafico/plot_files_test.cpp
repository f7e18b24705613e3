#include "grafico/plot_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

const std::string kHeader = "  # N\xFAmero de Mach            V(km/h)           Coeficiente de arrasto\n";

class PlotFiles : public ::testing::Test {
 protected:
  // Random, so that two builds testing at once do not share it.
  PlotFiles() : dir_(fs::temp_directory_path() / ("grafico-test-" + std::to_string(std::random_device()()))) {
    fs::create_directories(dir_);
  }
  ~PlotFiles() override { fs::remove_all(dir_); }

  fs::path write(const std::string& name, const std::string& contents) {
    std::ofstream(dir_ / name, std::ios::binary) << contents;
    return dir_ / name;
  }
  std::string read(const std::string& name) const {
    std::ostringstream s;
    s << std::ifstream(dir_ / name, std::ios::binary).rdbuf();
    return s.str();
  }
  std::size_t files() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  // The message of plotting file, or "none".
  static std::string error_of(const fs::path& file) {
    try {
      grafico::plot_curve_file(file);
    } catch (const grafico::PlotError& e) {
      return e.what();
    }
    return "none";
  }

  fs::path dir_;
};

TEST_F(PlotFiles, FindsTheFirstCurveFilesOnly) {
  for (const char* name : {"Curva1_b", "Curva1_a", "Curva1_a.svg", "Curva_trajet\xC3\xB3ria_a", "curva1_c"})
    write(name, kHeader);
  fs::create_directory(dir_ / "Curva1_dir");
  EXPECT_EQ(grafico::curve_file_names(dir_), (std::vector<fs::path>{"Curva1_a", "Curva1_b"}));
  EXPECT_EQ(grafico::run_name_of(dir_ / "Curva1_foguete"), "foguete");
}

TEST_F(PlotFiles, AFailureLeavesTheOlderDrawingAlone) {
  const fs::path bad = write("Curva1_x", kHeader + " 0.1 122.4 0.17\n 0.2 x 0.39\n");
  write("Curva1_x.svg", "older");
  EXPECT_EQ(error_of(bad), bad.string() + ":3: not a number: \"x\"");
  EXPECT_EQ(read("Curva1_x.svg"), "older");
  // A folder in the drawing's place cannot be replaced: no temporary left.
  const fs::path good = write("Curva1_y", kHeader);
  fs::create_directories(dir_ / "Curva1_y.svg" / "inside");
  const std::string error = error_of(good);
  EXPECT_TRUE(error.starts_with(good.string() + ".svg: cannot replace: ")) << error;
  EXPECT_EQ(files(), 4u);
}

#ifndef _WIN32
// Each refused without hanging or reading without end, in one line that
// names the file printably and gives the system's reason.
TEST_F(PlotFiles, RefusesWhatIsNotACurveFileInOneLine) {
  ASSERT_EQ(::mkfifo((dir_ / "Curva1_fifo").c_str(), 0600), 0);
  fs::create_directory(dir_ / "Curva1_pasta");
  const std::string d = dir_.string();
  const struct {
    fs::path file;
    std::string error;
  } cases[] = {
      {dir_ / "Curva1_fifo", d + "/Curva1_fifo: cannot read: not a regular file"},
      {dir_ / "Curva1_pasta", d + "/Curva1_pasta: cannot read: it is a folder"},
      {"/dev/zero", "/dev/zero: cannot read: not a regular file"},
      {dir_ / "Curva1_a\nb\x1B[31m\xFF",
       d + "/Curva1_a\\x0Ab\\x1B[31m\\xFF: cannot open: No such file or directory"},
      // A three-byte character shows as it is; an overlong form is escaped.
      {dir_ / "Curva1_\xE2\x82\xAC\xE0\x80\x80",
       d + "/Curva1_\xE2\x82\xAC\\xE0\\x80\\x80: cannot open: No such file or directory"},
  };
  for (const auto& c : cases) EXPECT_EQ(error_of(c.file), c.error);
}
#endif

}  // namespace
