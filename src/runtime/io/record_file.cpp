#include "runtime/io/record_file.hpp"

#include <system_error>
#include <utility>

namespace rt {
namespace {
// A megabyte a buffer: few enough hand-overs that they cost nothing, small
// enough that the two buffers are a fixed, modest amount of memory.
constexpr std::size_t kBufferSize = std::size_t{1} << 20;
}  // namespace

RecordFile::RecordFile(std::string name) : file_(std::move(name)) { start_buffers(); }

RecordFile::RecordFile(OutputSet& set, std::string name) : file_(set, std::move(name)) {
  start_buffers();
}

void RecordFile::start_buffers() {
  const std::string_view end = rt::line_end();
  line_end_size_ = end.size();  // one or two bytes
  std::memcpy(line_end_, end.data(), end.size());
  buffers_[0].reset(new char[kBufferSize]);
  next_ = buffers_[0].get();
  limit_ = next_ + kBufferSize;
}

RecordFile::~RecordFile() {
  if (!writer_.joinable()) return;
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  writer_.join();
}

void RecordFile::put(const char* data, std::size_t size) {
  if (size > kBufferSize) {
    flush();
    wait_writer();
    file_.write(data, size);
    return;
  }
  std::memcpy(room(size), data, size);
  next_ += size;
}

void RecordFile::wait_writer() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return flight_ == nullptr; });
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void RecordFile::flush() {
  char* const start = buffers_[filling_].get();
  const auto size = static_cast<std::size_t>(next_ - start);
  if (size == 0) return;
  wait_writer();  // the other buffer is free again
  if (!writer_.joinable() && !buffers_[1]) {
    buffers_[1].reset(new char[kBufferSize]);
    try {
      writer_ = std::thread(&RecordFile::writer_loop, this);
    } catch (const std::system_error&) {
      // No thread to be had (a process limit): the buffers are written
      // here, as they are filled.
    }
  }
  if (!writer_.joinable()) {
    file_.write(start, size);
    next_ = start;
    return;
  }
  {
    const std::lock_guard lock(mutex_);
    flight_ = start;
    flight_size_ = size;
  }
  changed_.notify_all();
  filling_ = 1 - filling_;
  next_ = buffers_[filling_].get();
  limit_ = next_ + kBufferSize;
}

void RecordFile::writer_loop() {
  // A signal that ends the run is the main thread's to take, when it is
  // not holding them while the files are moved in.
  keep_interrupts_off_this_thread();
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return flight_ != nullptr || stopping_; });
    if (flight_ == nullptr) return;
    lock.unlock();
    std::exception_ptr error;
    try {
      file_.write(flight_, flight_size_);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    if (error && !error_) error_ = error;
    flight_ = nullptr;
    changed_.notify_all();
  }
}

void RecordFile::finish() {
  flush();
  wait_writer();
  file_.finish();
}

void RecordFile::commit() {
  finish();
  file_.commit();
}

}  // namespace rt
