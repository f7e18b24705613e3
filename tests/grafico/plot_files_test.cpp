#include "grafico/plot_files.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

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
  EXPECT_THROW(grafico::plot_curve_file(dir_ / "Curva1_missing"), grafico::PlotError);
  // A directory in the drawing's place cannot be replaced: no temporary left.
  const fs::path good = write("Curva1_y", kHeader);
  fs::create_directories(dir_ / "Curva1_y.svg" / "inside");
  EXPECT_THROW(grafico::plot_curve_file(good), grafico::PlotError);
  EXPECT_EQ(files(), 4u);
}

}  // namespace
