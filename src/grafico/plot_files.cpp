#include "grafico/plot_files.hpp"

#include <algorithm>
#include <system_error>

#include "grafico/curve_file.hpp"
#include "grafico/curve_svg.hpp"
#include "grafico/run_report.hpp"
#include "grafico/svg_text.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace grafico {
namespace {

constexpr std::string_view kPrefix = "Curva1_";
constexpr std::string_view kSvgSuffix = ".svg";

// A path as UTF-8 bytes in a std::string, on every system.
std::string utf8_of(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

// The runtime's error lines begin with the file name as given; here it is
// shown printable.
PlotError plot_error(const rt::RunError& error, const std::string& name) {
  std::string_view what = error.what();
  if (what.starts_with(name)) what.remove_prefix(name.size());
  return PlotError(printable(name) + std::string(what));
}

// The file's curve, reduced as its lines stream past, with M0 from the
// run's report when there is one.
Curve read_curve_file(const std::filesystem::path& file) {
  const std::string name = utf8_of(file);
  Curve curve{run_name_of(file), {}, {}, {}};
  try {
    rt::InputFile in(name);
    CurveReader reader([&in](char* buffer, std::size_t size) { return in.read(buffer, size); });
    CurveReducer reducer;
    RunReportMatch report(file);
    while (const auto point = reader.next()) {
      reducer.add(*point);
      report.add(point->mach);
    }
    curve.summary = reducer.summary();
    curve.points = reducer.points();
    curve.lowest_mach = report.lowest_mach();
  } catch (const CurveError& error) {
    throw PlotError(printable(name) + ":" + std::to_string(error.line()) + ": " + error.what());
  } catch (const rt::RunError& error) {
    throw plot_error(error, name);
  }
  return curve;
}

// Written under a temporary name that replaces the older file only when
// complete; the runtime removes the temporary on failure and on Ctrl-C.
void write_svg(const std::filesystem::path& target, const std::string& svg) {
  const std::string name = utf8_of(target);
  try {
    rt::OutputFile out(name);
    out.write(svg.data(), svg.size());
    out.commit();
  } catch (const rt::RunError& error) {
    throw plot_error(error, name);
  }
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

void plot_curve_file(const std::filesystem::path& file, const std::vector<MeasuredSet>& measured) {
  write_svg(svg_name_for(file), curve_svg(read_curve_file(file), measured));
}

void plot_comparison(const std::filesystem::path& output, const std::vector<std::filesystem::path>& files,
                     const std::vector<MeasuredSet>& measured) {
  std::vector<Curve> curves;
  for (const auto& file : files) curves.push_back(read_curve_file(file));
  write_svg(output, comparison_svg(curves, measured));
}

}  // namespace grafico
