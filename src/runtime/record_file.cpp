#include "runtime/record_file.hpp"

#include <cstdint>
#include <exception>
#include <version>

#include "runtime/list_number.hpp"

#if defined(__cpp_lib_jthread)  // the standard library has threads
#define ARRASTO_HELPER_THREAD 1
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace rt {
namespace {
constexpr std::size_t kNotesSize = std::size_t{1} << 16;
constexpr std::size_t kOutputSize = std::size_t{1} << 16;
constexpr std::size_t kTextPiece = 1024;  // longest text piece noted at once
}  // namespace

// The characters of the noted items, in a buffer written to the file
// whenever it is full.
class RecordFile::Writer {
 public:
  explicit Writer(OutputFile& file) : file_(file), buffer_(new char[kOutputSize]) {
    const std::string_view end = line_end();
    line_end_size_ = end.size();  // one or two bytes
    std::memcpy(line_end_, end.data(), end.size());
    next_ = buffer_.get();
    limit_ = next_ + kOutputSize;
  }

  void write_notes(const char* notes, std::size_t size) {
    const char* const end = notes + size;
    while (notes < end) {
      switch (static_cast<Tag>(*notes++)) {
        case kBegin:
          *room(1) = ' ';
          ++next_;
          break;
        case kEnd: {
          char* at = room(2);
          at[0] = line_end_[0];
          at[1] = line_end_[1];
          next_ += line_end_size_;
          break;
        }
        case kReal: {
          double x;
          std::memcpy(&x, notes, sizeof x);
          notes += sizeof x;
          format_double(x, room(kDoubleField));
          next_ += kDoubleField;
          break;
        }
        case kSingle: {
          float x;
          std::memcpy(&x, notes, sizeof x);
          notes += sizeof x;
          format_float(x, room(kFloatField));
          next_ += kFloatField;
          break;
        }
        case kText: {
          std::uint16_t n;
          std::memcpy(&n, notes, sizeof n);
          notes += sizeof n;
          std::memcpy(room(n), notes, n);
          notes += n;
          next_ += n;
          break;
        }
      }
    }
  }

  void flush() {
    file_.write(buffer_.get(), static_cast<std::size_t>(next_ - buffer_.get()));
    next_ = buffer_.get();
  }

 private:
  char* room(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - next_) < size) flush();
    return next_;
  }

  OutputFile& file_;
  char line_end_[2] = {};
  std::size_t line_end_size_ = 0;
  std::unique_ptr<char[]> buffer_;
  char* next_ = nullptr;
  char* limit_ = nullptr;
};

#if ARRASTO_HELPER_THREAD

// One helper thread and two note buffers: the thread writes out the buffer
// handed over while the run fills the other; a hand-over waits for the
// previous buffer to be done, and gives that one back.
class RecordFile::Helper {
 public:
  explicit Helper(Writer& writer) : writer_(writer), thread_([this] { run(); }) {}

  ~Helper() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  std::unique_ptr<char[]> hand_over(std::unique_ptr<char[]> full, std::size_t size) {
    std::unique_lock<std::mutex> lock(mutex_);
    wait_done(lock);
    std::unique_ptr<char[]> free = std::move(notes_);
    if (!free) free.reset(new char[kNotesSize]);
    notes_ = std::move(full);
    size_ = size;
    pending_ = true;
    lock.unlock();
    wake_.notify_one();
    return free;
  }

  // Waits until every buffer handed over is written out.
  void finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    wait_done(lock);
  }

 private:
  void wait_done(std::unique_lock<std::mutex>& lock) {
    done_.wait(lock, [this] { return !pending_; });
    if (error_) std::rethrow_exception(error_);
  }

  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      wake_.wait(lock, [this] { return pending_ || stop_; });
      if (!pending_) return;
      lock.unlock();
      std::exception_ptr error;
      if (!failed_) {
        try {
          writer_.write_notes(notes_.get(), size_);
        } catch (...) {
          error = std::current_exception();
          failed_ = true;
        }
      }
      lock.lock();
      if (error) error_ = error;
      pending_ = false;
      done_.notify_one();
    }
  }

  Writer& writer_;
  std::mutex mutex_;
  std::condition_variable wake_;  // a buffer handed over, or stop
  std::condition_variable done_;  // the buffer written out
  std::unique_ptr<char[]> notes_;
  std::size_t size_ = 0;
  bool pending_ = false;
  bool stop_ = false;
  bool failed_ = false;  // the helper's own: no more writes after a failure
  std::exception_ptr error_;
  std::thread thread_;  // last: starts once the rest is in place
};

#else

class RecordFile::Helper {};

#endif

RecordFile::RecordFile(std::string name)
    : file_(std::move(name)), writer_(new Writer(file_)), notes_(new char[kNotesSize]) {
  next_ = notes_.get();
  limit_ = next_ + kNotesSize;
}

RecordFile::~RecordFile() = default;

void RecordFile::text(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::uint16_t n = bytes.size() < kTextPiece ? static_cast<std::uint16_t>(bytes.size())
                                                      : std::uint16_t{kTextPiece};
    char* at = room(1 + sizeof n + n);
    at[0] = kText;
    std::memcpy(at + 1, &n, sizeof n);
    std::memcpy(at + 1 + sizeof n, bytes.data(), n);
    next_ += 1 + sizeof n + n;
    bytes.remove_prefix(n);
  }
}

void RecordFile::hand_over() {
  const auto used = static_cast<std::size_t>(next_ - notes_.get());
#if ARRASTO_HELPER_THREAD
  if (!helper_ && !alone_) {
    try {
      helper_ = std::make_unique<Helper>(*writer_);
    } catch (const std::system_error&) {
      alone_ = true;  // no thread to be had: write in this one
    }
  }
  if (helper_) {
    notes_ = helper_->hand_over(std::move(notes_), used);
    next_ = notes_.get();
    limit_ = next_ + kNotesSize;
    return;
  }
#endif
  writer_->write_notes(notes_.get(), used);
  next_ = notes_.get();
}

void RecordFile::close() {
#if ARRASTO_HELPER_THREAD
  if (helper_) {
    helper_->finish();
    helper_.reset();
  }
#endif
  writer_->write_notes(notes_.get(), static_cast<std::size_t>(next_ - notes_.get()));
  next_ = notes_.get();
  writer_->flush();
  file_.commit();
}

}  // namespace rt
