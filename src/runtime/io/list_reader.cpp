#include "runtime/io/list_reader.hpp"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool ends_value(char c) { return is_blank(c) || c == ',' || c == '/'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_line_end(int c) { return c == '\r' || c == '\n'; }

// What ends the first word of a remark besides a blank and the line's end:
// a label may be written "LNA: nose length", "LNA=120" or "LNA(mm)".
bool ends_word(char c) { return c == ':' || c == '=' || c == ',' || c == '('; }

// Significant digits kept of a real. A double's correct rounding depends on
// at most 767 of them; beyond, only whether any is not zero counts.
constexpr std::size_t kDigits = 800;

// Bytes asked of the file at a time; the reader holds no more than this.
constexpr std::size_t kChunk = std::size_t{1} << 16;

}  // namespace


void ValueBytes::clear() { *this = ValueBytes(); }

void ValueBytes::add(char c) {
  const bool first = size_ == 0;
  const bool sign = first && (c == '+' || c == '-');
  const bool digit = is_digit(c);
  ++size_;
  last_ = c;
  if (head_.size() < kKept) head_ += c;
  all_zeros_ = all_zeros_ && c == '0';

  if (sign) {
    int_negative_ = negative_ = c == '-';
    part_ = Part::mantissa;
    return;
  }
  if (!digit) {
    int_bad_ = true;
  } else {
    int_digits_ = true;
    if (int_value_ <= std::int64_t{1} << 32) int_value_ = int_value_ * 10 + (c - '0');
    else int_too_large_ = true;
  }
  ++word_size_;
  if (word_.size() < 8) word_ += lower(c);

  const auto significant = [&] {
    if (digits_.size() < kDigits) digits_ += c;
    else if (c != '0') sticky_ = true;
  };
  // After the digits of the mantissa: E or D, or the exponent's sign alone.
  const auto exponent_opens = [&] {
    const char l = lower(c);
    if (!mantissa_digits_) part_ = Part::bad;
    else if (l == 'e' || l == 'd') part_ = Part::exponent_mark;
    else if (c == '+' || c == '-') exponent_negative_ = c == '-', part_ = Part::exponent_sign;
    else part_ = Part::bad;
  };
  switch (part_) {
    case Part::start:
    case Part::mantissa:
      part_ = Part::mantissa;
      if (digit) {
        mantissa_digits_ = true;
        if (!digits_.empty() || c != '0') significant(), ++whole_digits_;
      } else if (c == '.') {
        part_ = Part::fraction;
      } else {
        exponent_opens();
      }
      return;
    case Part::fraction:
      if (digit) {
        mantissa_digits_ = true;
        if (!digits_.empty() || c != '0') significant();
        else ++leading_zeros_;
      } else {
        exponent_opens();
      }
      return;
    case Part::exponent_mark:
      if (c == '+' || c == '-') {
        exponent_negative_ = c == '-';
        part_ = Part::exponent_sign;
        return;
      }
      [[fallthrough]];
    case Part::exponent_sign:
    case Part::exponent:
      if (!digit) {
        part_ = Part::bad;
        return;
      }
      part_ = Part::exponent;
      // Leading zeros of the exponent do not count, so that one of any
      // length is safe.
      if (exponent_digits_ == 0 && c == '0') return;
      if (++exponent_digits_ <= 9) exponent_ = exponent_ * 10 + (c - '0');
      return;
    case Part::bad: return;
  }
}

ValueBytes::Integer ValueBytes::integer(int& value) const {
  if (!int_digits_ || int_bad_) return Integer::malformed;
  const std::int64_t v = int_negative_ ? -int_value_ : int_value_;
  if (int_too_large_ || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
    return Integer::out_of_range;
  value = static_cast<int>(v);
  return Integer::ok;
}

// A real in any of the spellings the list-directed convention takes: sign,
// digits with an optional point, an exponent opened by E, D (any case) or by
// its sign alone (1.5+3); also Inf, Infinity and NaN. Converted correctly
// rounded and independent of the locale.
ValueBytes::Real ValueBytes::real(double& value) const {
  if (word_size_ == word_.size()) {
    if (word_ == "inf" || word_ == "infinity") {
      value = negative_ ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
      return Real::ok;
    }
    if (word_ == "nan") {
      value = negative_ ? -std::numeric_limits<double>::quiet_NaN()
                        : std::numeric_limits<double>::quiet_NaN();
      return Real::ok;
    }
  }
  if (!mantissa_digits_ ||
      (part_ != Part::mantissa && part_ != Part::fraction && part_ != Part::exponent))
    return Real::malformed;
  const double zero = negative_ ? -0.0 : 0.0;
  if (digits_.empty()) {
    value = zero;
    return Real::ok;
  }
  if (exponent_digits_ > 9) {
    if (!exponent_negative_) return Real::overflow;
    value = zero;
    return Real::ok;
  }
  // The decimal order of the first significant digit tells overflow from
  // underflow before the number is handed on.
  const std::int64_t order = (exponent_negative_ ? -exponent_ : exponent_) +
                             (whole_digits_ > 0 ? whole_digits_ : -leading_zeros_);
  if (order > 400) return Real::overflow;
  if (order < -400) {
    value = zero;
    return Real::ok;
  }
  std::string normal = negative_ ? "-0." : "0.";
  normal += digits_;
  if (sticky_) normal += '1';
  normal += 'e';
  normal += std::to_string(order);
  const auto r = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    if (order > 0) return Real::overflow;
    value = zero;  // below the smallest subnormal
    return Real::ok;
  }
  if (r.ec != std::errc() || r.ptr != normal.data() + normal.size()) return Real::malformed;
  return Real::ok;
}

namespace {

// The length of the valid UTF-8 character at s[i] (no overlong form, no
// surrogate, nothing past U+10FFFF), with its code point; 0 when the bytes
// there are not one.
std::size_t utf8_at(std::string_view s, std::size_t i, char32_t& code) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b = at(i);
  std::size_t n = 1;
  unsigned char lo = 0x80, hi = 0xBF;  // the second byte's allowed range
  if (b < 0x80) {
    code = b;
    return 1;
  }
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, code = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, code = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, code = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size() || at(i + 1) < lo || at(i + 1) > hi) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
    code = (code << 6) | (at(i + k) & 0x3F);
  }
  return n;
}

// Characters a terminal would act on or that make a text read as another:
// the C0 and C1 controls and DEL; the bidirectional marks, embeddings,
// overrides and isolates, which reorder what follows them; the invisible
// ones (soft hyphen, zero-width characters, the byte-order mark), which
// make two different names look alike; the line and paragraph separators.
bool hidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x61C || c == 0x180E ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
         (c >= 0x2060 && c <= 0x2064) || (c >= 0x2066 && c <= 0x206F) || c == 0xFEFF ||
         (c >= 0xFFF9 && c <= 0xFFFB);
}

// Appends the bytes for a message, at most limit of them: printable UTF-8
// as it is, and every other byte as \xHH; with escape_quotes, a quotation
// mark or a backslash after a backslash. A character that would cross the
// limit is left out whole.
void append_shown(std::string& out, std::string_view bytes, std::size_t limit,
                  bool escape_quotes) {
  constexpr char hex[] = "0123456789ABCDEF";
  std::size_t i = 0;
  while (i < bytes.size()) {
    char32_t code = 0;
    const std::size_t n = utf8_at(bytes, i, code);
    const std::size_t taken = n == 0 ? 1 : n;
    if (i + taken > limit) break;
    if (n != 0 && escape_quotes && (code == '"' || code == '\\')) {
      out += '\\';
      out += static_cast<char>(code);
    } else if (n != 0 && !hidden(code)) {
      out.append(bytes.substr(i, n));
    } else {
      for (std::size_t k = i; k < i + taken; ++k) {
        const auto c = static_cast<unsigned char>(bytes[k]);
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 15];
      }
    }
    i += taken;
  }
}

}  // namespace

std::string quoted(std::string_view head, std::uint64_t size) {
  constexpr std::size_t kShown = 40;
  std::string out = "\"";
  append_shown(out, head, kShown, true);
  out += '"';
  if (size > kShown) {
    out += ' ';
    out += tr("(cut; {} bytes in all)", {std::to_string(size)});
  }
  return out;
}

std::string quoted(std::string_view bytes) { return quoted(bytes, bytes.size()); }

std::string printable_text(std::string_view bytes) {
  std::string out;
  append_shown(out, bytes, bytes.size(), false);
  return out;
}

ListReader::ListReader(const std::string& file_name) : label_(file_name) {
  auto file = std::make_shared<InputFile>(file_name);
  source_ = [file](char* buffer, std::size_t size) { return file->read(buffer, size); };
}

ListReader::ListReader(std::string label, Source source)
    : label_(std::move(label)), source_(std::move(source)) {}

ListReader::ListReader(std::string label, std::string bytes)
    : label_(std::move(label)), buffer_(std::move(bytes)), end_(buffer_.size()) {}

bool ListReader::refill() {
  if (!source_) return false;
  taken_ += end_;
  buffer_.resize(kChunk);
  pos_ = 0;
  end_ = source_(buffer_.data(), buffer_.size());
  return end_ > 0;
}

int ListReader::peek() {
  if (pos_ == end_ && !refill()) return -1;
  return static_cast<unsigned char>(buffer_[pos_]);
}

// LF, CR LF and a lone CR (as classic Mac OS saved) each end one line.
void ListReader::take_line_end() {
  const bool carriage_return = peek() == '\r';
  ++pos_;
  if (carriage_return && peek() == '\n') ++pos_;
  ++line_number_;
}

void ListReader::skip_rest_of_line() {
  for (;;) {
    if (pos_ == end_ && !refill()) return;
    const char* p = buffer_.data() + pos_;
    const std::size_t n = end_ - pos_;
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', n));
    const char* cr = static_cast<const char*>(std::memchr(p, '\r', lf ? lf - p : n));
    const char* stop = cr ? cr : lf;
    if (stop) {
      pos_ += stop - p;
      take_line_end();
      return;
    }
    pos_ = end_;
  }
}

void ListReader::begin_file() {
  started_ = true;
  if (source_) {
    // The first three bytes together, for the byte-order marks.
    buffer_.resize(kChunk);
    while (end_ < 3) {
      const std::size_t n = source_(buffer_.data() + end_, buffer_.size() - end_);
      if (n == 0) break;
      end_ += n;
    }
  }
  const std::string_view start(buffer_.data(), end_);
  // A UTF-8 byte-order mark, as some editors save one.
  if (start.starts_with("\xEF\xBB\xBF")) pos_ = 3;
  // Notepad's "Unicode": every other byte a zero, which no value survives.
  if (start.starts_with("\xFF\xFE") || start.starts_with("\xFE\xFF"))
    throw RunError(label_ + ": " +
                   tr("the file is saved as UTF-16 (\"Unicode\"); save it as UTF-8 or ANSI"));
}

void ListReader::fail_at_line(std::string_view name, const std::string& what) const {
  throw RunError(label_ + ":" + std::to_string(line_) + ": " + std::string(name) + ": " + what);
}

// Moves to the first byte of the next value, past blank lines and a repeat
// count; the bytes of the value read so far are in value_.
void ListReader::begin_value(std::string_view name) {
  if (!started_) begin_file();
  if (in_value_line_) skip_rest_of_line();  // the remark after the last value
  in_value_line_ = false;
  int c;
  for (;;) {
    while ((c = peek()) == ' ' || c == '\t') ++pos_;
    if (c == -1) {
      // With the names known, the place where the file stops is the last
      // value it holds: the missing line may be any above it.
      if (values_read_ > 0 && static_cast<std::size_t>(values_read_) < names_.size())
        fail_at_line(names_[values_read_ - 1],
                     tr("the file holds {} of the {} values and ends after this one; {}, or a "
                        "line above, is missing",
                        {std::to_string(values_read_), std::to_string(names_.size()), name}));
      const std::string what =
          values_read_ == 0   ? tr("missing, the file holds no value")
          : values_read_ == 1 ? tr("missing, the file ends after 1 value")
                              : tr("missing, the file ends after {} values",
                                   {std::to_string(values_read_)});
      throw RunError(label_ + ": " + std::string(name) + ": " + what);
    }
    if (!is_line_end(c)) break;
    take_line_end();
  }
  // Lines are counted past the int range (a file of over 2 GiB of line
  // ends) but a value's line must be an int to be reported.
  if (line_number_ > std::numeric_limits<int>::max())
    throw RunError(label_ + ": " + std::string(name) + ": " +
                   tr("the value stands after line {} of the file",
                      {std::to_string(std::numeric_limits<int>::max())}));
  line_ = static_cast<int>(line_number_);
  in_value_line_ = true;

  // A repeat count r*c stands for c; r* alone is a null value.
  value_.clear();
  repeat_.clear();
  value_begin_ = taken_ + pos_;
  while (is_digit(static_cast<char>(c = peek()))) value_.add(static_cast<char>(c)), ++pos_;
  if (value_.size() > 0 && c == '*') {
    ++pos_;
    repeat_ = value_;
    repeat_.add('*');
    if (value_.all_zeros())
      fail_at_line(name, tr("a repeat count must be at least 1, found {}",
                            {quoted(repeat_.head(), repeat_.size())}));
    if (at_value_end())
      fail_at_line(name, tr("missing, the repeat count {} gives no value",
                            {quoted(repeat_.head(), repeat_.size())}));
    value_.clear();
    c = peek();
    value_begin_ = taken_ + pos_;
  }
  if (value_.size() == 0 && c == ',')
    fail_at_line(name, tr("missing, the line has no value before its comma"));
  if (value_.size() == 0 && c == '/')
    fail_at_line(name, tr("missing, a slash stands where the value should be"));
}

bool ListReader::at_value_end() {
  const int c = peek();
  return c == -1 || is_line_end(c) || ends_value(static_cast<char>(c));
}

void ListReader::finish_value() {
  while (!at_value_end()) value_.add(buffer_[pos_++]);
}

void ListReader::expect_names(std::span<const std::string_view> names) {
  names_ = names;
  longest_name_ = 0;
  for (const std::string_view n : names_) longest_name_ = std::max(longest_name_, n.size());
}

std::string ListReader::quoted_value() const { return quoted(value_.head(), value_.size()); }

// After a value: a comma between two digits of a number is a decimal comma
// (any other comma is a separator, the remark after it skipped). Then, with
// the names known, the first word of the remark: another value's name, as
// written, shows the values shifted by a line. Only the few bytes of that
// word are looked at; the rest of the line is skipped as before.
void ListReader::end_value(std::string_view name, Kind kind, Thousands thousands) {
  int c = peek();
  bool separated = false;
  if (c == ',' && kind != Kind::text && value_.ends_in_digit()) {
    ++pos_;
    if (is_digit(static_cast<char>(peek())))
      fail_decimal_comma(name, kind == Kind::integer, thousands);
    separated = true;
  }
  if (names_.empty()) return;
  const auto skip_blanks = [&] {
    while (is_blank(static_cast<char>(c = peek()))) ++pos_;
  };
  skip_blanks();
  if (!separated && (c == ',' || c == '/')) {
    ++pos_;
    skip_blanks();
  }
  std::string word;
  while (c != -1 && !is_line_end(c) && !is_blank(static_cast<char>(c)) &&
         !ends_word(static_cast<char>(c))) {
    if (word.size() == longest_name_) return;  // longer than any name
    word += static_cast<char>(c);
    ++pos_;
    c = peek();
  }
  if (word.empty() || word == name) return;
  if (std::find(names_.begin(), names_.end(), word) != names_.end())
    fail_at_line(name, tr("the line is labelled {}: a line above it is missing or extra, or the "
                          "label is wrong",
                          {word}));
}

// The number whose comma stands between two digits is taken to its end (a
// blank, a slash, the line's end, or a comma not followed by a digit) and
// shown with what to write instead: the comma as a decimal point; without
// the commas where they can only separate thousands ("1,500,000", or an
// integer's "1,000"); both, saying which is which, where either reading is
// possible ("500,000" for a value that may be that large). An integer is
// never offered a decimal point, which the integer reading would refuse.
void ListReader::fail_decimal_comma(std::string_view name, bool integer, Thousands thousands) {
  constexpr std::size_t kShown = 40;  // as quoted() shows; longer gets no suggestion
  std::string token(value_.head());
  token += ',';
  std::uint64_t size = value_.size() + 1;
  for (;;) {
    int c = peek();
    if (c == -1 || is_line_end(c) || is_blank(static_cast<char>(c)) || c == '/') break;
    if (c == ',') {
      ++pos_;
      if (!is_digit(static_cast<char>(c = peek()))) break;
      ++size;
      if (token.size() <= kShown) token += ',';
    }
    ++pos_;
    ++size;
    if (token.size() <= kShown) token += static_cast<char>(c);
    // The value's span takes the whole number, commas and all, so that an
    // editor replacing the value at fault replaces all of it.
    spans_.back().end = taken_ + pos_;
  }
  std::string head(repeat_.head());
  if (head.size() == repeat_.size()) head += token;
  const std::uint64_t total = repeat_.size() + size;
  const std::string shown = quoted(head, total);

  std::string what;
  if (total <= kShown) {
    const std::string count(repeat_.head());
    std::string_view t = token;
    const std::string sign(t.substr(0, t[0] == '+' || t[0] == '-'));
    t.remove_prefix(sign.size());
    const auto digits = [](std::string_view part) {
      return !part.empty() && std::all_of(part.begin(), part.end(), is_digit);
    };
    std::vector<std::string_view> parts;
    for (std::size_t from = 0;;) {
      const std::size_t comma = t.find(',', from);
      parts.push_back(t.substr(from, comma - from));
      if (comma == std::string_view::npos) break;
      from = comma + 1;
    }
    bool grouped = digits(parts[0]) && parts[0].size() <= 3 && parts[0][0] != '0';
    std::string joined = count + sign;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      grouped = grouped && digits(parts[i]) && (i == 0 || parts[i].size() == 3);
      joined += parts[i];
    }
    ValueBytes check;
    const auto reads = [&](std::string_view text) {
      check.clear();
      for (const char c : text.substr(count.size())) check.add(c);
      int i;
      double x;
      return integer ? check.integer(i) == ValueBytes::Integer::ok
                     : check.real(x) == ValueBytes::Real::ok;
    };
    std::string decimal;
    if (parts.size() == 2 && digits(parts[0]))
      decimal = count + sign + std::string(parts[0]) + "." + std::string(parts[1]);
    if (grouped && !reads(joined)) grouped = false;
    if (!integer && !decimal.empty() && !reads(decimal)) decimal.clear();

    if (grouped && (integer || parts.size() > 2))
      what = tr("{} has a thousands separator; write {}", {shown, joined});
    else if (grouped && thousands == Thousands::possible)
      what = tr("{} has a comma: write {} if it separates thousands, or {} if it marks the "
                "decimals",
                {shown, joined, decimal});
    else if (!integer && !decimal.empty())
      what = tr("{} has a decimal comma; write {}", {shown, decimal});
  }
  if (what.empty())
    what = integer ? tr("{} has a comma between two digits; this value is a whole number, "
                        "written with digits only",
                        {shown})
                   : tr("{} has a comma between two digits; write the number with a decimal "
                        "point and no comma",
                        {shown});
  fail_at_line(name, what);
}

int ListReader::read_integer(std::string_view name) {
  begin_value(name);
  finish_value();
  note_span(name);
  end_value(name, Kind::integer);
  int value = 0;
  switch (value_.integer(value)) {
    case ValueBytes::Integer::ok: break;
    case ValueBytes::Integer::malformed:
      fail_at_line(name,
                   tr("expected an integer, found {}", {quoted(value_.head(), value_.size())}));
    case ValueBytes::Integer::out_of_range:
      fail_at_line(name, tr("expected an integer from -2147483648 to 2147483647, found {}",
                            {quoted(value_.head(), value_.size())}));
  }
  ++values_read_;
  return value;
}

double ListReader::read_real(std::string_view name, Thousands thousands) {
  begin_value(name);
  finish_value();
  note_span(name);
  end_value(name, Kind::real, thousands);
  double value = 0;
  switch (value_.real(value)) {
    case ValueBytes::Real::ok: break;
    case ValueBytes::Real::malformed:
      fail_at_line(name,
                   tr("expected a real number, found {}", {quoted(value_.head(), value_.size())}));
    case ValueBytes::Real::overflow:
      fail_at_line(name, tr("the number is too large for a double, found {}",
                            {quoted(value_.head(), value_.size())}));
  }
  ++values_read_;
  return value;
}

FixedText ListReader::read_text(std::string_view name) {
  begin_value(name);
  cut_off_.clear();
  const int first = peek();
  if (value_.size() > 0 || (first != '\'' && first != '"')) {
    finish_value();
    note_span(name);
    end_value(name, Kind::text);
    ++values_read_;
    if (value_.head().size() > kTextLength) cut_off_ = value_.head().substr(kTextLength);
    return make_text(value_.head());
  }
  // Between apostrophes or quotation marks the name may hold blanks, commas
  // and slashes; a doubled delimiter stands for one. It must close on its line.
  const char delimiter[] = {static_cast<char>(first), '\0'};
  ++pos_;
  std::string text;
  for (;;) {
    const int c = peek();
    if (c == -1 || is_line_end(c))
      fail_at_line(name, tr("the closing {} is missing on the line", {delimiter}));
    ++pos_;
    if (c == first && peek() != first) break;
    if (c == first) ++pos_;  // a doubled delimiter
    if (text.size() < ValueBytes::kKept) text += static_cast<char>(c);
  }
  note_span(name);
  if (!at_value_end()) {
    ValueBytes rest;
    for (int c; (c = peek()) != -1 && !is_line_end(c); ++pos_) rest.add(static_cast<char>(c));
    fail_at_line(name, tr("expected a blank or a comma after the closing {}, found {}",
                          {delimiter, quoted(rest.head(), rest.size())}));
  }
  end_value(name, Kind::text);
  ++values_read_;
  if (text.size() > kTextLength) cut_off_ = text.substr(kTextLength);
  return make_text(text);
}

}  // namespace rt
