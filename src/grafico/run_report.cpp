#include "grafico/run_report.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

#include "grafico/curve_file.hpp"
#include "grafico/measured_points.hpp"
#include "runtime/platform/file_names.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace grafico {
namespace {

constexpr std::string_view kPrefix = "Curva1_";
// A report is about 800 bytes; anything much longer is some other file.
constexpr std::size_t kMaxReportBytes = 4096;
// The records that state the values, by their ASCII parts: the labels are
// Windows-1252, and an editor may have saved them otherwise.
constexpr std::string_view kMmaxLabel = " COEFICIENTE DE ARRASTO PARA MACHI =";
constexpr std::string_view kLowestMachLabel = "(M0):";
constexpr std::string_view kBelowLabel = " Pontos da varredura abaixo de M0:";
constexpr std::size_t kRecords = 20;
// The run name's characters a curve file's name keeps (50 less "Curva1_").
constexpr std::size_t kCurveNameKeeps = 43;
// How close the curve's last Mach number must be to the report's MMAX,
// relatively: both are written with 15 significant digits, and the last
// point (MMAX / IT) * IT may be a unit in the last place off MMAX.
constexpr double kSameValue = 1e-13;

std::string utf8_of(const std::filesystem::path& path) {
  const std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

template <typename Number>
bool parse_whole(std::string_view text, Number& value) {
  text = trimmed(text);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc{} && end == text.data() + text.size() && !text.empty();
}

std::optional<RunReport> report_in(const std::filesystem::path& file) {
  try {
    return parse_run_report(read_whole_file(utf8_of(file), kMaxReportBytes));
  } catch (const rt::RunError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<RunReport> parse_run_report(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  if (lines.size() != kRecords) return std::nullopt;
  const std::string_view first = lines[0], lowest = lines[17], below = lines[19];
  const std::size_t label = lowest.find(kLowestMachLabel);
  RunReport report{};
  if (!first.starts_with(kMmaxLabel) || label == std::string_view::npos ||
      !below.starts_with(kBelowLabel) ||
      !parse_whole(first.substr(kMmaxLabel.size()), report.mmax) ||
      !parse_whole(lowest.substr(label + kLowestMachLabel.size()), report.lowest_mach) ||
      !parse_whole(below.substr(kBelowLabel.size()), report.below) ||
      !(report.lowest_mach > 0))
    return std::nullopt;
  return report;
}

RunReportMatch::RunReportMatch(const std::filesystem::path& curve_file) {
  const std::string name = utf8_of(curve_file.filename());
  if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) return;
  const std::string run = name.substr(kPrefix.size());
  const std::filesystem::path folder = curve_file.parent_path();
  if (const auto report = report_in(folder / std::u8string(run.begin(), run.end())))
    candidates_.push_back({*report, true});
  // The curve file keeps the first 43 bytes of a run name as the data file
  // holds it: 43 characters of a Windows-1252 name, 40 to 43 bytes of a
  // UTF-8 one (a character cut in two is dropped).
  const std::size_t characters = rt::code_points(run).size();
  if (characters != kCurveNameKeeps && (run.size() < kCurveNameKeeps - 3 || run.size() > kCurveNameKeeps))
    return;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
       !error && entry != end; entry.increment(error)) {
    const std::string other = utf8_of(entry->path().filename());
    if (other.size() > run.size() && other.starts_with(run))
      if (const auto report = report_in(folder / entry->path().filename()))
        candidates_.push_back({*report, false});
  }
}

void RunReportMatch::add(double mach) {
  ++points_;
  last_mach_ = mach;
  for (Candidate& c : candidates_) {
    // As the run counts: a point not at or above M0, a NaN among them.
    c.surely_below += !(mach >= c.report.lowest_mach * (1 - kSameValue));
    c.maybe_below += !(mach >= c.report.lowest_mach * (1 + kSameValue));
  }
}

bool RunReportMatch::matches(const Candidate& c) const {
  return points_ > 0 && std::abs(last_mach_ - c.report.mmax) <= kSameValue * std::abs(c.report.mmax) &&
         c.surely_below <= c.report.below && c.report.below <= c.maybe_below;
}

std::optional<double> RunReportMatch::lowest_mach() const {
  std::optional<double> found;
  for (const Candidate& c : candidates_) {
    if (!matches(c)) continue;
    if (c.whole_name) return c.report.lowest_mach;
    if (found) return std::nullopt;  // two runs fit: neither is known to be this one
    found = c.report.lowest_mach;
  }
  return found;
}

std::optional<double> model_lowest_mach(const std::filesystem::path& curve_file) {
  RunReportMatch match(curve_file);
  if (!match.any_candidate()) return std::nullopt;
  try {
    rt::InputFile in(utf8_of(curve_file));
    CurveReader reader([&in](char* buffer, std::size_t size) { return in.read(buffer, size); });
    while (const auto point = reader.next()) match.add(point->mach);
  } catch (const CurveError&) {
    return std::nullopt;
  } catch (const rt::RunError&) {
    return std::nullopt;
  }
  return match.lowest_mach();
}

}  // namespace grafico
