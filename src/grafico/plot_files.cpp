#include "grafico/plot_files.hpp"

#include <algorithm>
#include <system_error>

#include "grafico/curve_file.hpp"
#include "grafico/curve_svg.hpp"
#include "grafico/run_report.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace grafico {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "Curva1_";
constexpr std::string_view kTrajectoryPrefix = "Curva_trajet\xC3\xB3ria_";
constexpr std::string_view kSvgSuffix = ".svg";

// What rt::quoted shows of a name before it cuts it.
constexpr std::size_t kWholeName = 40;

// How much of an existing file is read to tell an SVG picture: a prolog
// (declaration, comments, document type) is a few lines.
constexpr std::size_t kPictureHead = 64 * 1024;

// A path as UTF-8 bytes in a std::string, on every system.
std::string utf8_of(const fs::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

fs::path path_of(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// The runtime's error lines begin with the file name as given; here it is
// shown as this program's error lines show names.
PlotError plot_error(const rt::RunError& error, const fs::path& file) {
  const std::string name = utf8_of(file);
  std::string_view what = error.what();
  if (!what.starts_with(name)) return PlotError(std::string(what));
  what.remove_prefix(name.size());
  return PlotError(shown_name(file) + std::string(what));
}

// A reason from the file system library, in the user's language where it
// is a C library's error number, as one line in any case.
std::string reason_of(const std::error_code& error) {
#ifdef _WIN32
  const bool errno_value = error.category() == std::generic_category();
#else
  const bool errno_value = error.category() == std::generic_category() || error.category() == std::system_category();
#endif
  if (errno_value) return rt::errno_reason(error.value());
  std::string text = error.message();
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  while (!text.empty() && (text.back() == ' ' || text.back() == '.')) text.pop_back();
  return text;
}

// The first curve file of the run whose trajectory curve is given, beside
// it: "Curva1_" and the same run name. The trajectory curve's name keeps 33
// characters of the run name, the first curve file's 43; when no file has
// the name so made, the one file whose name begins so is it.
fs::path first_curve_for(const fs::path& trajectory) {
  const std::string own = utf8_of(trajectory.filename());
  const std::string wanted = std::string(kPrefix) + own.substr(kTrajectoryPrefix.size());
  const fs::path exact = trajectory.parent_path() / path_of(wanted);
  std::error_code error;
  if (fs::exists(exact, error)) return exact;
  std::vector<fs::path> found;
  const fs::path folder = trajectory.has_parent_path() ? trajectory.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = utf8_of(it->path().filename());
    if (name.starts_with(wanted) && !name.ends_with(kSvgSuffix)) found.push_back(it->path());
  }
  return found.size() == 1 ? found.front() : exact;
}

// The file's curve, reduced as its lines stream past, with M0 from the
// run's report when there is one.
Curve read_curve_file(const fs::path& file) {
  Curve curve{run_name_of(file), {}, {}, {}};
  try {
    rt::InputFile in(utf8_of(file));
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
    // The trajectory curve, dropped in its place, has no header line.
    if (error.line() == 1 && utf8_of(file.filename()).starts_with(kTrajectoryPrefix))
      throw PlotError(rt::tr("{}: this is the trajectory curve, without the Mach numbers; use {} instead",
                             {shown_name(file), rt::quoted(utf8_of(first_curve_for(file).filename()))}));
    throw PlotError(shown_name(file) + ":" + std::to_string(error.line()) + ": " + error.what());
  } catch (const rt::RunError& error) {
    throw plot_error(error, file);
  }
  return curve;
}

// Refuses to let a picture replace anything but an older SVG picture: not
// a folder, a device, a link or a FIFO, not one of the curve files drawn,
// not a file of another kind (the data file given as the picture's name).
void check_picture_name(const fs::path& picture, const std::vector<fs::path>& curves) {
  const std::string name = utf8_of(picture);
  const std::string shown = shown_name(picture);
  if (!picture.has_filename()) throw PlotError(rt::tr("{}: names a folder, not a picture file", {shown}));
  switch (rt::file_kind(name)) {
    case rt::FileKind::none: return;
    case rt::FileKind::folder: throw PlotError(rt::tr("{}: names a folder, not a picture file", {shown}));
    case rt::FileKind::other: throw PlotError(rt::tr("{}: not a plain file; no picture replaces it", {shown}));
    case rt::FileKind::regular: break;
  }
  const std::optional<rt::FileId> identity = rt::file_identity(name);
  for (const fs::path& curve : curves)
    if (identity && identity == rt::file_identity(utf8_of(curve)))
      throw PlotError(rt::tr("{}: is one of the curve files; the picture would replace it", {shown}));
  std::string head(kPictureHead, '\0');
  std::size_t size = 0;
  try {
    rt::InputFile in(name);
    while (size < head.size()) {
      const std::size_t n = in.read(head.data() + size, head.size() - size);
      if (n == 0) break;
      size += n;
    }
  } catch (const rt::RunError& error) {
    throw plot_error(error, picture);
  }
  head.resize(size);
  if (!is_svg_picture(head))
    throw PlotError(rt::tr("{}: exists and is not an SVG picture; it is left as it is", {shown}));
}

// Written under a temporary name that replaces the older file only when
// complete; the runtime removes the temporary on failure and on Ctrl-C.
void write_svg(const fs::path& target, const std::string& svg) {
  try {
    rt::OutputFile out(utf8_of(target));
    out.write(svg.data(), svg.size());
    out.commit();
  } catch (const rt::RunError& error) {
    throw plot_error(error, target);
  }
}

// Where an XML prolog item that begins text ends (past its closing mark),
// or 0 when text does not begin with one, npos when it does not end.
std::size_t prolog_item(std::string_view text) {
  const auto past = [&](std::string_view mark, std::size_t from = 0) {
    const std::size_t at = text.find(mark, from);
    return at == std::string_view::npos ? at : at + mark.size();
  };
  if (text.starts_with("<?")) return past("?>");
  if (text.starts_with("<!--")) return past("-->", 4);
  if (text.starts_with("<!DOCTYPE")) {
    // An internal subset, in brackets, may hold '>' of its own.
    const std::size_t open = text.find_first_of("[>");
    return open != std::string_view::npos && text[open] == '[' ? past("]>", open) : past(">");
  }
  return 0;
}

}  // namespace

std::vector<fs::path> curve_file_names() {
  std::vector<fs::path> names;
  std::error_code error;
  for (fs::directory_iterator it(".", error), end; !error && it != end; it.increment(error)) {
    const std::string name = utf8_of(it->path().filename());
    std::error_code kind;
    if (name.starts_with(kPrefix) && !name.ends_with(kSvgSuffix) && it->is_regular_file(kind))
      names.push_back(it->path().filename());
  }
  if (error)
    throw PlotError("arrasto-grafico: " + rt::tr("cannot read the working folder: {}", {reason_of(error)}));
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return utf8_of(a) < utf8_of(b); });
  return names;
}

std::string run_name_of(const fs::path& file) {
  const std::string name = utf8_of(file.filename());
  return name.starts_with(kPrefix) && name.size() > kPrefix.size() ? name.substr(kPrefix.size()) : name;
}

fs::path svg_name_for(const fs::path& file) {
  fs::path svg = file;
  svg += kSvgSuffix;
  return svg;
}

std::string shown_name(const fs::path& file) {
  const std::string whole = utf8_of(file), own = utf8_of(file.filename());
  return rt::quoted(whole.size() <= kWholeName || own.empty() ? whole : own);
}

bool is_svg_picture(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  for (;;) {
    text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    const std::size_t end = prolog_item(text);
    if (end == 0) break;
    if (end == std::string_view::npos) return false;
    text.remove_prefix(end);
  }
  // The root element, "svg" with or without a namespace prefix, its name
  // ended by a blank, '>' or '/'.
  if (!text.starts_with('<')) return false;
  const std::size_t name_end = text.find_first_of(" \t\r\n/>");
  if (name_end == std::string_view::npos) return false;
  const std::string_view name = text.substr(1, name_end - 1);
  return name == "svg" || name.ends_with(":svg");
}

void plot_curve_file(const fs::path& file, const std::vector<MeasuredSet>& measured) {
  check_picture_name(svg_name_for(file), {file});
  write_svg(svg_name_for(file), curve_svg(read_curve_file(file), measured));
}

void plot_comparison(const fs::path& output, const std::vector<fs::path>& files,
                     const std::vector<MeasuredSet>& measured) {
  check_picture_name(output, files);
  std::vector<Curve> curves;
  for (const auto& file : files) curves.push_back(read_curve_file(file));
  write_svg(output, comparison_svg(curves, measured));
}

}  // namespace grafico
