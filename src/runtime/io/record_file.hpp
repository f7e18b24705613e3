#pragma once
// A result file written record by record in the list-directed form: every
// record opens with one blank, text items stand as they are, numbers fill
// their fields, and the record ends with the platform's line end. Output is
// buffered; the file replaces its name only when commit() succeeds.
//
// A full buffer goes to the disk on a thread of its own while the sweep
// fills the other one, so that the system's work of taking the bytes
// overlaps the computing of the next ones; at most one buffer is in
// flight, so memory stays at two buffers however long the file. A write
// that fails is reported by the next call that hands over a buffer, or by
// finish(), as the same error it would have been on the caller's thread.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "runtime/io/list_number.hpp"
#include "runtime/platform/platform.hpp"

namespace rt {

class RecordFile {
 public:
  explicit RecordFile(std::string name);
  // A file of the set, which puts it in place with the others.
  RecordFile(OutputSet& set, std::string name);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

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
  void real(const DoubleField& field) {
    std::memcpy(room(kDoubleField), field.text, kDoubleField);
    next_ += kDoubleField;
  }
  void single(float x) {
    format_float(x, room(kFloatField));
    next_ += kFloatField;
  }
  void integer(std::int32_t x) {
    format_integer(x, room(kIntegerField));
    next_ += kIntegerField;
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
  // For a file of its own: finish(), if not done yet, then moves the file
  // over its name.
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
  // Hands the filled part of the buffer to the writer and goes on in the
  // other buffer.
  void flush();
  // Waits until no buffer is in flight, then throws the writer's error if
  // it had one.
  void wait_writer();
  void writer_loop();
  void start_buffers();

  OutputFile file_;
  char line_end_[2] = {};
  std::size_t line_end_size_ = 0;
  std::unique_ptr<char[]> buffers_[2];
  int filling_ = 0;
  char* next_ = nullptr;
  char* limit_ = nullptr;

  // The buffer in flight, shared with the writer thread.
  std::mutex mutex_;
  std::condition_variable changed_;
  const char* flight_ = nullptr;
  std::size_t flight_size_ = 0;
  bool stopping_ = false;
  std::exception_ptr error_;
  std::thread writer_;  // started by the first full buffer
};

}  // namespace rt
