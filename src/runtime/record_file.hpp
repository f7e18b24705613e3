#pragma once
// A result file written record by record in the list-directed form: every
// record opens with one blank, text items stand as they are, numbers fill
// their fields, and the record ends with the platform's line end. The file
// replaces its name only when close() succeeds.
//
// The items are first noted in a buffer as they come (a tag and the value's
// bytes), and turned into characters and written a buffer at a time. A file
// that outgrows its first buffer (a sweep's curve files) has that done by a
// helper thread while the next buffer fills, so that the number writing and
// the system's copy of the bytes run beside the sweep. A write that fails
// there ends the run at the next buffer or at close(), with the same
// message; the bytes written are the same either way.

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/platform.hpp"

namespace rt {

class RecordFile {
 public:
  explicit RecordFile(std::string name);
  ~RecordFile();
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  void begin_record() { note(kBegin); }
  void text(std::string_view bytes);
  void real(double x) {
    char* at = room(1 + sizeof x);
    at[0] = kReal;
    std::memcpy(at + 1, &x, sizeof x);
    next_ += 1 + sizeof x;
  }
  void single(float x) {
    char* at = room(1 + sizeof x);
    at[0] = kSingle;
    std::memcpy(at + 1, &x, sizeof x);
    next_ += 1 + sizeof x;
  }
  void end_record() { note(kEnd); }

  // Writes what is left, closes the file and moves it over its name.
  void close();

 private:
  // The tag before each noted item: a real is followed by its 8 bytes, a
  // single by 4, a text by its length (2 bytes) and its bytes.
  enum Tag : char { kBegin, kEnd, kReal, kSingle, kText };

  void note(Tag tag) {
    *room(1) = tag;
    ++next_;
  }
  // At least size bytes free at the returned place (size at most the
  // buffer's size).
  char* room(std::size_t size) {
    if (static_cast<std::size_t>(limit_ - next_) < size) hand_over();
    return next_;
  }
  void hand_over();

  OutputFile file_;
  class Writer;                // turns noted items into characters, writes them
  std::unique_ptr<Writer> writer_;
  std::unique_ptr<char[]> notes_;  // the items being noted
  char* next_ = nullptr;
  char* limit_ = nullptr;
  class Helper;                // the helper thread; ended before writer_ and file_
  std::unique_ptr<Helper> helper_;
  bool alone_ = false;  // no helper thread could be started
};

}  // namespace rt
