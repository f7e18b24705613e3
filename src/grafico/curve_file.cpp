#include "grafico/curve_file.hpp"

#include <charconv>
#include <system_error>

namespace grafico {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_blank_line(std::string_view line) {
  for (char c : line)
    if (!is_blank(c)) return false;
  return true;
}

// The header names the columns; only its '#' is checked, so that a header
// re-saved by an editor in another encoding still reads.
void check_header(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] != '#')
    throw CurveError(1, "expected the header line, which begins with '#'");
}

// A token as shown in a message: cut short, and bytes other than printable
// ASCII as \xNN, so that the message stays one short line of valid text.
std::string shown(std::string_view token) {
  constexpr std::size_t kMax = 24;
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : token.substr(0, kMax)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      out += c;
    } else {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  out += token.size() > kMax ? "...\"" : "\"";
  return out;
}

// from_chars reads Infinity and NaN and ignores the locale; it takes no '+'.
double read_number(std::string_view token, std::size_t line) {
  std::string_view digits = token;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+')
    digits.remove_prefix(1);
  double value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (error == std::errc::result_out_of_range)
    throw CurveError(line, "number out of range: " + shown(token));
  if (error != std::errc{} || stop != end)
    throw CurveError(line, "not a number: " + shown(token));
  return value;
}

CurvePoint read_point(std::string_view line, std::size_t number) {
  double values[3] = {};
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    if (is_blank(line[i])) {
      ++i;
      continue;
    }
    const std::size_t begin = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    const double value = read_number(line.substr(begin, i - begin), number);
    if (count < 3) values[count] = value;
    ++count;
  }
  if (count != 3)
    throw CurveError(number, "expected 3 numbers, found " + std::to_string(count));
  return {values[0], values[1], values[2]};
}

}  // namespace

std::vector<CurvePoint> read_curve(std::string_view text) {
  // A byte order mark, left by an editor that saved the file as UTF-8.
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (text.empty()) throw CurveError(1, "empty file, expected the header line");

  std::vector<CurvePoint> points;
  std::size_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    ++number;
    if (number == 1)
      check_header(line);
    else if (!is_blank_line(line))
      points.push_back(read_point(line, number));
  }
  return points;
}

}  // namespace grafico
