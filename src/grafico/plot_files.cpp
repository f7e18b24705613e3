#include "grafico/plot_files.hpp"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>

#include "grafico/curve_file.hpp"
#include "grafico/curve_svg.hpp"
#include "grafico/replace_file.hpp"

namespace grafico {
namespace {

constexpr std::string_view kPrefix = "Curva1_";
constexpr std::string_view kSvgSuffix = ".svg";

// A path as UTF-8 bytes in a std::string, on every system.
std::string utf8_of(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

std::string read_bytes(const std::filesystem::path& file) {
  std::error_code error;
  if (std::filesystem::is_directory(file, error))
    throw PlotError(utf8_of(file) + ": cannot read: it is a directory");
  std::ifstream in(file, std::ios::binary);
  if (!in)
    throw PlotError(utf8_of(file) +
                    (std::filesystem::exists(file, error) ? ": cannot open" : ": cannot open: no such file"));
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) throw PlotError(utf8_of(file) + ": cannot read");
  return std::move(bytes).str();
}

}  // namespace

std::vector<std::filesystem::path> curve_file_names(const std::filesystem::path& dir) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = utf8_of(entry.path().filename());
    std::error_code error;
    if (name.starts_with(kPrefix) && !name.ends_with(kSvgSuffix) && entry.is_regular_file(error))
      names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end(),
            [](const auto& a, const auto& b) { return utf8_of(a) < utf8_of(b); });
  return names;
}

std::string run_name_of(const std::filesystem::path& file) {
  const std::string name = utf8_of(file.filename());
  return name.starts_with(kPrefix) && name.size() > kPrefix.size() ? name.substr(kPrefix.size()) : name;
}

std::filesystem::path svg_name_for(const std::filesystem::path& file) {
  std::filesystem::path svg = file;
  svg += kSvgSuffix;
  return svg;
}

void plot_curve_file(const std::filesystem::path& file) {
  const std::string text = read_bytes(file);
  std::string svg;
  try {
    svg = curve_svg(read_curve(text), run_name_of(file));
  } catch (const CurveError& error) {
    throw PlotError(utf8_of(file) + ":" + std::to_string(error.line()) + ": " + error.what());
  }
  const std::filesystem::path target = svg_name_for(file);
  try {
    replace_file(target, svg);
  } catch (const std::exception& error) {
    throw PlotError(utf8_of(target) + ": " + error.what());
  }
}

}  // namespace grafico
