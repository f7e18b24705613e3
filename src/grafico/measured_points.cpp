#include "grafico/measured_points.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

#include "grafico/curve_file.hpp"
#include "grafico/plot_files.hpp"
#include "grafico/svg_text.hpp"
#include "runtime/io/list_reader.hpp"
#include "runtime/platform/file_names.hpp"
#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace grafico {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
  return s;
}

// A field as a message shows it: quoted, cut short, printable.
std::string shown(std::string_view field) { return rt::quoted(field); }

std::vector<std::string_view> blank_separated(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t i = 0; i < line.size();) {
    while (i < line.size() && is_blank(line[i])) ++i;
    const std::size_t begin = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    if (i > begin) fields.push_back(line.substr(begin, i - begin));
  }
  return fields;
}

// The fields of a data line. A semicolon, else a tab, else a comma
// separates them, else blanks do; trailing empty fields (a spreadsheet's
// empty columns) are dropped. Two numbers written with decimal commas and
// a blank between them ("0,6 0,2987") are that, not three fields.
std::vector<std::string_view> fields_of(std::string_view line, bool& decimal_comma) {
  char separator = ' ';
  for (const char c : {';', '\t', ','})
    if (line.find(c) != std::string_view::npos) {
      separator = c;
      break;
    }
  decimal_comma = separator == ';' || separator == '\t';
  if (separator == ' ') return blank_separated(line);
  if (separator == ',') {
    const std::vector<std::string_view> fields = blank_separated(line);
    const auto decimal = [](std::string_view f) {
      return f.find(',') == f.rfind(',') && !f.starts_with(',') && !f.ends_with(',');
    };
    if (fields.size() == 2 && decimal(fields[0]) && decimal(fields[1])) {
      decimal_comma = true;
      return fields;
    }
  }
  std::vector<std::string_view> fields;
  for (std::size_t begin = 0;;) {
    const std::size_t end = line.find(separator, begin);
    fields.push_back(trimmed(line.substr(begin, end - begin)));
    if (end == std::string_view::npos) break;
    begin = end + 1;
  }
  while (!fields.empty() && fields.back().empty()) fields.pop_back();
  return fields;
}

double number_of(std::string_view field, bool decimal_comma, std::size_t line) {
  // from_chars takes no '+'.
  std::string_view body = field;
  if (body.size() > 1 && body[0] == '+' && body[1] != '-' && body[1] != '+') body.remove_prefix(1);
  std::string digits(body);
  if (decimal_comma)
    for (char& c : digits)
      if (c == ',') c = '.';
  double value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (error == std::errc::result_out_of_range)
    throw CurveError(line, rt::tr("number out of range: {}", {shown(field)}));
  if (error != std::errc{} || stop != end)
    throw CurveError(line, rt::tr("not a number: {}", {shown(field)}));
  if (!std::isfinite(value))
    throw CurveError(line, rt::tr("a measured value must be a finite number, found {}", {shown(field)}));
  return value;
}

// A header's first field is a word ("Mach", "Número"); a number's begins
// with a digit, a sign or a point.
bool begins_with_letter(std::string_view field) {
  if (field.empty()) return false;
  const auto c = static_cast<unsigned char>(field[0]);
  return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c >= 0x80;
}

}  // namespace

MeasuredSet parse_measured_points(std::string_view text, const std::string& default_label) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  MeasuredSet set;
  bool labelled = false, data_seen = false;
  for (std::size_t number = 1; !text.empty(); ++number) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = trimmed(line);
    if (line.empty()) continue;
    if (line.front() == '#') {
      if (!labelled) {
        const std::string_view label = trimmed(line.substr(1));
        set.label = rt::disk_name(label, 0, rt::name_encoding(label));  // UTF-8 or Windows-1252
        labelled = true;
      }
      continue;
    }
    bool decimal_comma = false;
    const std::vector<std::string_view> fields = fields_of(line, decimal_comma);
    const bool header = !data_seen && !fields.empty() && begins_with_letter(fields[0]);
    data_seen = true;
    if (header) continue;
    if (fields.size() != 2)
      throw CurveError(number, rt::tr("expected 2 numbers (Mach number and drag coefficient), found {}",
                                      {std::to_string(fields.size())}));
    const double mach = number_of(fields[0], decimal_comma, number);
    const double drag = number_of(fields[1], decimal_comma, number);
    if (mach < 0)
      throw CurveError(number, rt::tr("a Mach number cannot be negative, found {}", {shown(fields[0])}));
    set.points.push_back({mach, drag});
  }
  if (set.points.empty()) throw CurveError(0, rt::tr("no measured points in the file"));
  if (set.label.empty()) set.label = default_label;
  return set;
}

std::string read_whole_file(const std::string& utf8_name, std::size_t limit) {
  rt::InputFile in(utf8_name);
  std::string text;
  for (;;) {
    const std::size_t have = text.size();
    text.resize(have + 4096);
    const std::size_t n = in.read(text.data() + have, 4096);
    text.resize(have + n);
    if (n == 0 || text.size() > limit) return text;
  }
}

MeasuredSet read_measured_file(const std::filesystem::path& file) {
  const std::u8string u8 = file.u8string();
  const std::string name(u8.begin(), u8.end());
  const std::u8string u8_label = file.filename().u8string();
  std::string text;
  try {
    text = read_whole_file(name, kMaxMeasuredBytes);
  } catch (const rt::RunError& error) {
    // The runtime's line begins with the name as given; here it is shown
    // as this program's error lines show names.
    std::string_view what = error.what();
    if (!what.starts_with(name)) throw PlotError(std::string(what));
    what.remove_prefix(name.size());
    throw PlotError(shown_name(file) + std::string(what));
  }
  if (text.size() > kMaxMeasuredBytes)
    throw PlotError(shown_name(file) + ": " +
                    rt::tr("longer than {} bytes: not a file of measured points",
                           {std::to_string(kMaxMeasuredBytes)}));
  try {
    return parse_measured_points(text, std::string(u8_label.begin(), u8_label.end()));
  } catch (const CurveError& error) {
    throw PlotError(shown_name(file) + (error.line() > 0 ? ":" + std::to_string(error.line()) : "") + ": " +
                    error.what());
  }
}

}  // namespace grafico
