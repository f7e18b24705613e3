#include "grafico/plot_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
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

  fs::path dir_;
};

TEST_F(PlotFiles, FindsTheFirstCurveFilesOnly) {
  for (const char* name : {"Curva1_b", "Curva1_a", "Curva1_a.svg", "Curva_trajet\xC3\xB3ria_a", "curva1_c"})
    write(name, kHeader);
  fs::create_directory(dir_ / "Curva1_dir");
  EXPECT_EQ(grafico::curve_file_names(dir_), (std::vector<fs::path>{"Curva1_a", "Curva1_b"}));
  EXPECT_EQ(grafico::run_name_of(dir_ / "Curva1_foguete"), "foguete");
}

TEST_F(PlotFiles, WritesTheDrawingBesideTheFileAndNothingElse) {
  grafico::plot_curve_file(write("Curva1_foguete", kHeader + " 0.1 122.4 0.17\n 0.2 244.8 0.39\n"));
  const std::string svg = read("Curva1_foguete.svg");
  EXPECT_NE(svg.find(">foguete</text>"), std::string::npos);
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  EXPECT_EQ(files(), 2u);
}

TEST_F(PlotFiles, AFailureLeavesTheOlderDrawingAlone) {
  const fs::path bad = write("Curva1_x", kHeader + " 0.1 122.4 0.17\n 0.2 x 0.39\n");
  write("Curva1_x.svg", "older");
  try {
    grafico::plot_curve_file(bad);
    ADD_FAILURE() << "no error";
  } catch (const grafico::PlotError& e) {
    EXPECT_EQ(e.what(), bad.string() + ":3: not a number: \"x\"");
  }
  EXPECT_EQ(read("Curva1_x.svg"), "older");
  // A directory in the drawing's place cannot be replaced: no temporary left.
  const fs::path good = write("Curva1_y", kHeader);
  fs::create_directories(dir_ / "Curva1_y.svg" / "inside");
  EXPECT_THROW(grafico::plot_curve_file(good), grafico::PlotError);
  EXPECT_EQ(files(), 4u);
}

#ifndef _WIN32
// Each refused without hanging or reading without end, in one line that
// names the file printably and gives the system's reason.
TEST_F(PlotFiles, RefusesWhatIsNotACurveFileInOneLine) {
  ASSERT_EQ(::mkfifo((dir_ / "Curva1_fifo").c_str(), 0600), 0);
  fs::create_directory(dir_ / "Curva1_pasta");
  const struct {
    fs::path file;
    std::string shown, error;
  } cases[] = {
      {dir_ / "Curva1_fifo", (dir_ / "Curva1_fifo").string(), ": cannot read: not a regular file"},
      {dir_ / "Curva1_pasta", (dir_ / "Curva1_pasta").string(), ": cannot read: it is a folder"},
      {"/dev/zero", "/dev/zero", ": cannot read: not a regular file"},
      {dir_ / "Curva1_a\nb\x1B[31m\xFF", (dir_ / "Curva1_a\\x0Ab\\x1B[31m\\xFF").string(),
       ": cannot open: No such file or directory"},
  };
  for (const auto& c : cases) {
    try {
      grafico::plot_curve_file(c.file);
      ADD_FAILURE() << c.file;
    } catch (const grafico::PlotError& e) {
      EXPECT_EQ(e.what(), c.shown + c.error);
    }
  }
  // A folder that may not be written to: the drawing cannot be made, and the
  // message says why. (Root writes anywhere; nothing to see then.)
  const fs::path locked = dir_ / "trancada";
  fs::create_directory(locked);
  const fs::path curve = write("trancada/Curva1_z", kHeader + " 0.1 122.4 0.17\n");
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(locked.c_str(), W_OK) != 0) {
    try {
      grafico::plot_curve_file(curve);
      ADD_FAILURE() << "no error";
    } catch (const grafico::PlotError& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(curve.string() + ".svg: ")) << e.what();
      EXPECT_TRUE(std::string(e.what()).ends_with(": Permission denied")) << e.what();
    }
  }
  fs::permissions(locked, fs::perms::owner_all);
}
#endif

}  // namespace
