#pragma once
// Reading a data file by the list-directed convention, one value per read:
// every read starts on a fresh line, skips blanks and blank lines, takes one
// value and skips the rest of its line (so a line may carry a remark).
// Anything that does not give a value of the asked type is a RunError of
// the form "FILE:LINE: NAME: what is wrong".
//
// A comma between two digits of a number is a decimal comma, refused with
// the number as it should be written: read as a separator it would end the
// number at the comma and give a plausible wrong value (0,9 would be 0).
//
// Given the names of the values in the order the file holds them, the reader
// also checks each line's remark: one whose first word is the name of
// another value shows a line missing or extra above it. A file that ends
// early then names the last value it holds.
//
// The file is read as a stream through a buffer of fixed size, and no
// further than the last value asked for (and the first word of its remark,
// when the names are given): memory stays the same whatever the
// size of the file, its lines or its values, and the tail of a huge file is
// never read.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/io/fixed_text.hpp"

namespace rt {

// What a value's bytes give for each type, gathered as they stream past so
// that a value of any length takes bounded memory.
class ValueBytes {
 public:
  void clear();
  void add(char c);

  std::uint64_t size() const { return size_; }
  // The first bytes of the value: enough for a message, for a name's 50
  // characters and for the rest of a UTF-8 character the cut fell inside.
  std::string_view head() const { return head_; }
  static constexpr std::size_t kKept = kTextLength + 3;

  // Whether every byte so far is a 0 (a repeat count of 0).
  bool all_zeros() const { return all_zeros_; }
  bool ends_in_digit() const { return last_ >= '0' && last_ <= '9'; }

  enum class Integer { ok, malformed, out_of_range };
  Integer integer(int& value) const;
  enum class Real { ok, malformed, overflow };
  Real real(double& value) const;

 private:
  std::string head_;
  std::uint64_t size_ = 0;
  bool all_zeros_ = true;
  char last_ = 0;
  // Integer: a sign, then digits only.
  bool int_digits_ = false;
  bool int_bad_ = false;
  bool int_negative_ = false;
  std::int64_t int_value_ = 0;
  bool int_too_large_ = false;
  // Real: the state of its spelling, and the number as 0.DIGITS x 10^order.
  enum class Part { start, mantissa, fraction, exponent_mark, exponent_sign, exponent, bad };
  Part part_ = Part::start;
  bool negative_ = false;
  std::string word_;  // lower case after the sign, for Inf and NaN
  std::uint64_t word_size_ = 0;
  bool mantissa_digits_ = false;
  std::string digits_;  // significant digits, the first kDigits of them
  bool sticky_ = false;  // a non-zero digit beyond those
  std::int64_t whole_digits_ = 0;   // significant digits before the point
  std::int64_t leading_zeros_ = 0;  // zeros after the point before the first significant digit
  bool exponent_negative_ = false;
  std::int64_t exponent_ = 0;
  int exponent_digits_ = 0;  // significant ones; over 9 is too many
};

class ListReader {
 public:
  // Fills buffer with up to size bytes of the file; 0 at its end.
  using Source = std::function<std::size_t(char* buffer, std::size_t size)>;

  // The named file, opened without blocking (see InputFile).
  explicit ListReader(const std::string& file_name);
  // label names the file in messages.
  ListReader(std::string label, Source source);
  // bytes are the file's whole contents.
  ListReader(std::string label, std::string bytes);

  // The names of the values in the order of the file, for the remark check
  // and the message of a file that ends early; the reader keeps the span.
  void expect_names(std::span<const std::string_view> names);

  // Whether a real value may be large enough to be written with thousands
  // separators ("500,000"): then a comma followed by three digits may be
  // either a decimal comma or a thousands separator, and the message about
  // it offers both readings; otherwise only the decimal one.
  enum class Thousands { unlikely, possible };

  int read_integer(std::string_view name);
  double read_real(std::string_view name, Thousands thousands = Thousands::unlikely);
  FixedText read_text(std::string_view name);

  // Up to 3 bytes of the text read last beyond the 50 kept, so that a
  // character the cut fell inside can be told; empty when the text fitted.
  std::string_view text_cut_off() const { return cut_off_; }

  // Line (from 1) of the value read last.
  int line() const { return line_; }

  // Where each value read so far stands in the file, the value that failed
  // included: its name, its line, and its bytes [begin, end) counted from
  // the file's first byte (a quoted text with its quotes). An editor that
  // changes one value replaces exactly these bytes.
  struct ValueSpan {
    std::string_view name;
    int line;
    std::uint64_t begin, end;
  };
  const std::vector<ValueSpan>& spans() const { return spans_; }
  const std::string& label() const { return label_; }

  // A message about a value that was read, in the reader's form; what is
  // already in the user's language.
  [[noreturn]] void fail_at_line(std::string_view name, const std::string& what) const;

  // The number read last as it stands in the file (after its repeat count),
  // quoted for a message.
  std::string quoted_value() const;

 private:
  int peek();
  bool refill();
  void take_line_end();
  void skip_rest_of_line();
  void begin_file();
  void begin_value(std::string_view name);
  void finish_value();
  bool at_value_end();
  void note_span(std::string_view name) { spans_.push_back({name, line_, value_begin_, taken_ + pos_}); }
  enum class Kind { integer, real, text };
  void end_value(std::string_view name, Kind kind, Thousands thousands = Thousands::unlikely);
  [[noreturn]] void fail_decimal_comma(std::string_view name, bool integer, Thousands thousands);

  std::string label_;
  Source source_;
  std::string buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t taken_ = 0;  // bytes of the file before buffer_
  std::uint64_t value_begin_ = 0;
  std::vector<ValueSpan> spans_;
  bool started_ = false;
  bool in_value_line_ = false;  // the last value's line is not yet passed
  std::int64_t line_number_ = 1;  // of the byte at pos_
  int line_ = 0;
  int values_read_ = 0;
  ValueBytes value_;
  ValueBytes repeat_;  // the repeat count before the value, with its '*'
  std::string cut_off_;
  std::span<const std::string_view> names_;
  std::size_t longest_name_ = 0;
};

// Up to 40 bytes of a value (a name, an argument) for a message, between
// quotation marks: printable UTF-8 as it is, so that "Curva_trajetória_x"
// reads as written, and as \xHH each byte that is not valid UTF-8 or is a
// control, DEL, or an invisible or bidirectional formatting character, so
// that the message stays one line that reads as the value is. The cut never
// falls inside a character; size is the value's length in all, named when
// the bytes shown are cut. head holds the value's first 43 bytes at least,
// or all of it.
std::string quoted(std::string_view bytes);
std::string quoted(std::string_view head, std::uint64_t size);
// Text shown whole and as it is (a folder's path, with its backslashes),
// but for the bytes quoted escapes, shown as \xHH.
std::string printable_text(std::string_view bytes);

}  // namespace rt
