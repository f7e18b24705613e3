#include "runtime/io/record_file.hpp"

#include <cstring>

namespace rt {
namespace {
constexpr std::size_t kBufferSize = std::size_t{1} << 16;
}

RecordFile::RecordFile(std::string name)
    : file_(std::move(name)), buffer_(new char[kBufferSize]) {
  const std::string_view end = rt::line_end();
  line_end_size_ = end.size();  // one or two bytes
  std::memcpy(line_end_, end.data(), end.size());
  next_ = buffer_.get();
  limit_ = next_ + kBufferSize;
}

void RecordFile::put(const char* data, std::size_t size) {
  if (size > kBufferSize) {
    flush();
    file_.write(data, size);
    return;
  }
  std::memcpy(room(size), data, size);
  next_ += size;
}

void RecordFile::flush() {
  file_.write(buffer_.get(), static_cast<std::size_t>(next_ - buffer_.get()));
  next_ = buffer_.get();
}

void RecordFile::finish() {
  flush();
  file_.finish();
}

void RecordFile::commit() {
  flush();
  file_.commit();
}

}  // namespace rt
