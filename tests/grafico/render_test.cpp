// The bundled example end to end: arrasto writes Curva1_foguete,
// arrasto-grafico draws it, and a real SVG renderer must draw that.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string read(const fs::path& file) {
  std::ostringstream s;
  s << std::ifstream(file, std::ios::binary).rdbuf();
  return s.str();
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(Render, TheExampleCurveDrawsWithARealRenderer) {
  const fs::path dir = fs::temp_directory_path() / ("grafico-render-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const auto run = [&](const std::string& command) {
    return std::system(("cd '" + dir.string() + "' && " + command).c_str());
  };
  fs::copy_file(EXAMPLE_DATA, dir / "dados.txt", fs::copy_options::overwrite_existing);
  // No editor on the path: arrasto passes over the editor runs.
  ASSERT_EQ(run("PATH=/nonexistent '" ARRASTO_EXE "' </dev/null"), 0);
  ASSERT_EQ(run("'" GRAFICO_EXE "'"), 0);
  EXPECT_EQ(count(read(dir / "Curva1_foguete.svg"), "<circle"), 9u);

  ASSERT_EQ(run("rsvg-convert -o curva.png Curva1_foguete.svg"), 0)
      << "rsvg-convert (Debian package librsvg2-bin) must be installed and draw the SVG";
  const std::string png = read(dir / "curva.png");
  EXPECT_EQ(png.substr(1, 3), "PNG");
  EXPECT_GT(png.size(), 10000u) << "a picture this small has no curve in it";

  // A bad file among good ones: one line naming it, status 1, the others drawn.
  std::ofstream(dir / "Curva1_ruim") << "  # header\n 0.1 122.4\n";
  fs::remove(dir / "Curva1_foguete.svg");
  EXPECT_EQ(run("'" GRAFICO_EXE "' 2>erros.txt"), 1 << 8);
  EXPECT_EQ(read(dir / "erros.txt"), "Curva1_ruim:2: expected 3 numbers, found 2\n");
  EXPECT_FALSE(fs::exists(dir / "Curva1_ruim.svg"));
  EXPECT_TRUE(fs::exists(dir / "Curva1_foguete.svg"));

  // Square-edged fins with a longer tip chord beside the example, in one
  // picture: a line and a legend entry for each.
  std::string data = read(EXAMPLE_DATA), variant;
  std::istringstream lines(data);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number)
    variant += (number == 1 ? "retas" : number == 15 ? "2" : number == 18 ? "60" : line) + "\n";
  std::ofstream(dir / "dados.txt") << variant;
  ASSERT_EQ(run("PATH=/nonexistent '" ARRASTO_EXE "' </dev/null"), 0);
  ASSERT_EQ(run("'" GRAFICO_EXE "' -o comparacao.svg Curva1_foguete Curva1_retas"), 0);
  const std::string comparison = read(dir / "comparacao.svg");
  EXPECT_EQ(count(comparison, "<polyline"), 2u);
  EXPECT_NE(comparison.find(">foguete</text>"), std::string::npos);
  EXPECT_NE(comparison.find(">retas</text>"), std::string::npos);
  EXPECT_EQ(run("rsvg-convert -o comparacao.png comparacao.svg"), 0);
  EXPECT_GT(read(dir / "comparacao.png").size(), 10000u);
  EXPECT_EQ(run("'" GRAFICO_EXE "' -o comparacao.svg 2>erros.txt"), 1 << 8);
  EXPECT_EQ(read(dir / "erros.txt"), "-o needs the picture's file name and at least one curve file\n");
  fs::remove_all(dir);
}

}  // namespace
