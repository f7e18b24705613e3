#include "runtime/record_file.hpp"

#include <cstring>

#include "runtime/list_number.hpp"

namespace rt {
namespace {
constexpr std::size_t kBufferSize = std::size_t{1} << 16;
}

RecordFile::RecordFile(std::string name)
    : file_(std::move(name)), line_end_(rt::line_end()), buffer_(kBufferSize) {}

char* RecordFile::room(std::size_t size) {
  if (used_ + size > buffer_.size()) flush();
  return buffer_.data() + used_;
}

void RecordFile::put(const char* data, std::size_t size) {
  if (size > buffer_.size()) {
    flush();
    file_.write(data, size);
    return;
  }
  std::memcpy(room(size), data, size);
  used_ += size;
}

void RecordFile::real(double x) {
  format_double(x, room(kDoubleField));
  used_ += kDoubleField;
}

void RecordFile::single(float x) {
  format_float(x, room(kFloatField));
  used_ += kFloatField;
}

void RecordFile::flush() {
  file_.write(buffer_.data(), used_);
  used_ = 0;
}

void RecordFile::close() {
  flush();
  file_.commit();
}

}  // namespace rt
