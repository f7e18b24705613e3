#include "grafico/curve_file.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "runtime/io/list_reader.hpp"
#include "runtime/platform/messages.hpp"

namespace grafico {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 16;

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
    throw CurveError(1, rt::tr("expected the header line, which begins with '#'"));
}

// Whether a number from_chars found out of range is too large rather than
// too small: the place of its first significant digit, shifted by its
// exponent, lies above the units. Out of range, a number is either beyond
// 1e308 or below 1e-323, far from that boundary either way.
bool too_large(std::string_view number) {
  std::size_t i = number.starts_with('-') ? 1 : 0;
  long long place = 0;  // of the first significant digit; 1 for the units
  bool significant = false, fraction = false;
  for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
    if (number[i] == '.') {
      fraction = true;
    } else if (significant || number[i] != '0') {
      significant = true;
      if (!fraction) ++place;
    } else if (fraction) {
      --place;
    }
  }
  long long exponent = 0;
  const bool negative = i + 1 < number.size() && number[i + 1] == '-';
  for (i += negative || (i + 1 < number.size() && number[i + 1] == '+') ? 2 : 1; i < number.size(); ++i)
    exponent = std::min(exponent * 10 + (number[i] - '0'), 100'000LL);  // far beyond any double
  return place + (negative ? -exponent : exponent) > 0;
}

// from_chars reads Infinity and NaN and ignores the locale; it takes no '+'.
// A number beyond the largest double reads as an infinity, as the nearest
// double to it (arrasto writes the largest double as 1.797693134862316E+308,
// which rounds up past it); one below the smallest, as a zero.
double read_number(std::string_view token, std::size_t line) {
  std::string_view digits = token;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+')
    digits.remove_prefix(1);
  double value = 0;
  const char* end = digits.data() + digits.size();
  const auto [stop, error] = std::from_chars(digits.data(), end, value);
  if (stop != end || (error != std::errc{} && error != std::errc::result_out_of_range))
    throw CurveError(line, rt::tr("not a number: {}", {rt::quoted(token)}));
  if (error == std::errc::result_out_of_range) {
    value = too_large(digits) ? HUGE_VAL : 0.0;
    if (digits.starts_with('-')) value = -value;
  }
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
    throw CurveError(number, rt::tr("expected 3 numbers, found {}", {std::to_string(count)}));
  return {values[0], values[1], values[2]};
}

}  // namespace

CurveReader::CurveReader(ByteSource source)
    : source_(std::move(source)), buffer_(kChunk + kMaxLineBytes + 2) {}

// The next line without its line end, valid until the next call; false at
// the end of the file. A line that does not end within kMaxLineBytes (and
// its CR LF) is refused before more of it is read.
bool CurveReader::next_line(std::string_view& line) {
  for (;;) {
    const char* first = buffer_.data() + begin_;
    const auto* newline = static_cast<const char*>(std::memchr(first, '\n', end_ - begin_));
    std::size_t length = newline != nullptr ? static_cast<std::size_t>(newline - first) : end_ - begin_;
    const bool ended = newline != nullptr || (at_end_ && length > 0);
    if (length > kMaxLineBytes + 1 || (ended && length > kMaxLineBytes && first[length - 1] != '\r'))
      throw CurveError(line_number_ + 1,
                       rt::tr("line longer than {} bytes", {std::to_string(kMaxLineBytes)}));
    if (ended) {
      begin_ += newline != nullptr ? length + 1 : length;
      if (length > 0 && first[length - 1] == '\r') --length;
      line = std::string_view(first, length);
      ++line_number_;
      return true;
    }
    if (at_end_) return false;
    // Keep the start of the line and read more after it.
    std::memmove(buffer_.data(), first, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
    const std::size_t n = source_(buffer_.data() + end_, buffer_.size() - end_);
    end_ += n;
    at_end_ = n == 0;
  }
}

std::optional<CurvePoint> CurveReader::next() {
  std::string_view line;
  while (next_line(line)) {
    if (line_number_ == 1) {
      // A byte order mark, left by an editor that saved the file as UTF-8.
      if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
      check_header(line);
    } else if (!is_blank_line(line)) {
      return read_point(line, line_number_);
    }
  }
  if (line_number_ == 0) throw CurveError(1, rt::tr("empty file, expected the header line"));
  return std::nullopt;
}

}  // namespace grafico
