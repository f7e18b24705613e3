#pragma once
// A result file written record by record in the list-directed form: every
// record opens with one blank, text items stand as they are, numbers fill
// their fields, and the record ends with the platform's line end. Output is
// buffered; the file replaces its name only when close() succeeds.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform.hpp"

namespace rt {

class RecordFile {
 public:
  explicit RecordFile(std::string name);

  void begin_record() { put(" ", 1); }
  void text(std::string_view bytes) { put(bytes.data(), bytes.size()); }
  void real(double x);
  void single(float x);
  void end_record() { put(line_end_.data(), line_end_.size()); }

  // Writes what is buffered, closes the file and moves it over its name.
  void close();

 private:
  void put(const char* data, std::size_t size);
  char* room(std::size_t size);
  void flush();

  OutputFile file_;
  std::string_view line_end_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
};

}  // namespace rt
