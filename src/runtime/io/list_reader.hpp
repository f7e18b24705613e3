#pragma once
// Reading a data file by the list-directed convention, one value per read:
// every read starts on a fresh line, skips blanks and blank lines, takes one
// value and skips the rest of its line (so a line may carry a remark).
// Anything that does not give a value of the asked type is a RunError of
// the form "FILE:LINE: NAME: what is wrong".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/io/fixed_text.hpp"

namespace rt {

class ListReader {
 public:
  // label names the file in messages; bytes are its whole contents.
  ListReader(std::string label, std::string bytes);

  int read_integer(std::string_view name);
  double read_real(std::string_view name);
  FixedText read_text(std::string_view name);

  // Line (from 1) of the value read last.
  int line() const { return line_; }
  const std::string& label() const { return label_; }

  // A message about a value that was read, in the reader's form.
  [[noreturn]] void fail_at_line(std::string_view name, const std::string& what) const;

 private:
  struct Item {
    std::size_t begin;  // first byte of the value
    std::size_t end;    // end of the value's line content (before CR LF)
  };
  Item next_item(std::string_view name);
  std::string_view token(const Item& item) const;

  std::string label_;
  std::string data_;
  std::size_t next_line_ = 0;  // offset where the next read starts
  std::int64_t next_line_number_ = 1;
  int line_ = 0;
  int values_read_ = 0;
};

// Up to 40 bytes of a value for a message, between quotation marks, with
// anything that is not printable ASCII shown as \xHH.
std::string quoted(std::string_view bytes);

}  // namespace rt
