// arrasto-grafico end to end, on the curve arrasto writes for the bundled example.

#include <gtest/gtest.h>
#include <sys/stat.h>
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

TEST(Render, TheExampleCurveDrawsWithARealRenderer) {
  const fs::path dir = fs::temp_directory_path() / ("grafico-render-" + std::to_string(::getpid()));
  fs::create_directories(dir / "Curva1_pasta");
  const auto run = [&](const std::string& command) {
    return std::system(("cd '" + dir.string() + "' && " + command + " 2>erros.txt").c_str());
  };
  fs::copy_file(ARRASTO_SOURCE_DIR "/example/dados.txt", dir / "dados.txt", fs::copy_options::overwrite_existing);
  ASSERT_EQ(run("PATH=/nonexistent '" ARRASTO_EXE "' </dev/null"), 0);  // no editor: passes over its runs
  ASSERT_EQ(::mkfifo((dir / "Curva1_fifo").c_str(), 0600), 0);
  std::ofstream(dir / "Curva1_retas") << "# header\n 0.5 612 0.4\n 0.9 1101.6 0.45\n";
  std::ofstream(dir / "Curva1_ruim.svg") << "older";
  // Every Curva1_ file but the folder, the FIFO and the pictures, in silence.
  EXPECT_EQ(run("'" GRAFICO_EXE "'"), 0);
  EXPECT_EQ(read(dir / "erros.txt"), "");
  // A file that cannot be drawn is named in one line and keeps its older picture.
  std::ofstream(dir / "Curva1_ruim") << "  # header\n 0.1 122.4\n";
  EXPECT_EQ(run("'" GRAFICO_EXE "'"), 1 << 8);
  EXPECT_EQ(read(dir / "erros.txt"), "Curva1_ruim:2: expected 3 numbers, found 2\n");
  EXPECT_EQ(read(dir / "Curva1_ruim.svg"), "older");
  EXPECT_NE(read(dir / "Curva1_foguete.svg").find(">foguete</text>"), std::string::npos);
  ASSERT_EQ(run("'" GRAFICO_EXE "' -o comparacao.svg Curva1_foguete Curva1_retas"), 0);
  EXPECT_NE(read(dir / "comparacao.svg").find(">retas</text>"), std::string::npos);
  ASSERT_EQ(run("rsvg-convert -o curva.png Curva1_foguete.svg && rsvg-convert -o comparacao.png comparacao.svg"), 0)
      << "rsvg-convert (Debian package librsvg2-bin) must be installed and draw the SVG";
  for (const char* png : {"curva.png", "comparacao.png"})  // a picture this small has no curve in it
    EXPECT_GT(read(dir / png).size(), 10000u) << png;

  // Each refused without hanging or reading without end, in one line that
  // names the file printably (a three-byte character as it is, an overlong
  // form escaped) and gives the system's reason.
  EXPECT_EQ(run("'" GRAFICO_EXE "' Curva1_pasta Curva1_fifo "
                "\"$(printf 'Curva1_a b\\nb\\033[31m\\377\\342\\202\\254\\340\\200\\200')\""), 1 << 8);
  EXPECT_EQ(read(dir / "erros.txt"),
            "Curva1_pasta: cannot read: it is a folder\nCurva1_fifo: cannot read: not a regular file\n"
            "Curva1_a b\\x0Ab\\x1B[31m\\xFF\xE2\x82\xAC\\xE0\\x80\\x80: cannot open: No such file or directory\n");
  EXPECT_EQ(run("'" GRAFICO_EXE "' -o comparacao.svg"), 1 << 8);
  EXPECT_EQ(read(dir / "erros.txt"), "-o needs the picture's file name and at least one curve file\n");
  fs::remove_all(dir);
}

}  // namespace
