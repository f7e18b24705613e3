#pragma once
// A result file written record by record in the list-directed form: every
// record opens with one blank, text items stand as they are, numbers fill
// their fields, and the record ends with the platform's line end. Output is
// buffered; the file replaces its name only when commit() succeeds.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/io/list_number.hpp"
#include "runtime/platform/platform.hpp"

namespace rt {

class RecordFile {
 public:
  explicit RecordFile(std::string name);

  // The items of a sweep record go straight into the buffer.
  void begin_record() {
    *room(1) = ' ';
    ++next_;
  }
  void text(std::string_view bytes) { put(bytes.data(), bytes.size()); }
  void real(double x) {
    format_double(x, room(kDoubleField));
    next_ += kDoubleField;
  }
  void single(float x) {
    format_float(x, room(kFloatField));
    next_ += kFloatField;
  }
  void end_record() {
    char* at = room(2);
    at[0] = line_end_[0];
    at[1] = line_end_[1];
    next_ += line_end_size_;
  }

  // Writes what is buffered and puts it on the disk; every write error has
  // shown by its return (see OutputFile::finish).
  void finish();
  // finish(), if not done yet, then moves the file over its name.
  void commit();
  void close() { commit(); }

 private:
  // At least size bytes free at the returned place (size at most the
  // buffer's size).
  char* room(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - next_) < size) flush();
    return next_;
  }
  void put(const char* data, std::size_t size);
  void flush();

  OutputFile file_;
  char line_end_[2] = {};
  std::size_t line_end_size_ = 0;
  std::unique_ptr<char[]> buffer_;
  char* next_ = nullptr;
  char* limit_ = nullptr;
};

}  // namespace rt
