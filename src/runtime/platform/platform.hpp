#pragma once
// What differs between POSIX and Windows, behind one small interface:
// reading the data file, file identity, result files written under a
// temporary name and moved over the real one, the line end, the name rules
// and the editor run. File names cross this interface as UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// The line end of every record written.
std::string_view line_end();

// Writes one line (UTF-8) to standard error, so that a console shows its
// accented characters.
void print_error_line(const std::string& line);

// Why this system would not take a name as a plain file name in the
// working directory, beyond the rules common to every system (empty, "."
// or "..", a control character, '/' or '\'); empty when it would.
std::string platform_name_fault(std::u32string_view name);

// A regular file opened for reading, read in pieces (the data file is read
// as a stream). Opening never blocks, whatever the name is (a FIFO, a
// device): anything but a regular file is refused at once. Errors throw
// RunError naming the file and the system's reason.
class InputFile {
 public:
  explicit InputFile(const std::string& name);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Up to size bytes into buffer; 0 at the end of the file.
  std::size_t read(char* buffer, std::size_t size);
  const std::string& name() const { return name_; }

 private:
  std::string name_;
  std::intptr_t handle_ = -1;
};

// What the file system says a name refers to; nothing when no such file.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool operator==(const FileId&) const = default;
};
std::optional<FileId> file_identity(const std::string& name);

// Whether the name is an existing folder (which no file can replace).
bool is_folder(const std::string& name);

// Whether two names are spelled as one name by this system's file names
// (exactly on POSIX, ignoring case on Windows).
bool same_spelling(const std::string& a, const std::string& b);

// A result file in the working directory. It is written under a temporary
// name beside the real one and replaces the real name only when commit()
// succeeds; until then an older file of that name is left as it was, and a
// file never committed is removed. Errors throw RunError naming the real
// file and the system's reason.
class OutputFile {
 public:
  explicit OutputFile(std::string name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const char* data, std::size_t size);
  void commit();
  const std::string& name() const { return name_; }

 private:
  [[noreturn]] void fail(const char* what, int error);
  void discard() noexcept;

  std::string name_;
  std::string temporary_;
  std::intptr_t handle_ = -1;
  std::uint64_t written_ = 0;  // bytes written so far
  std::uint64_t flushed_ = 0;  // bytes whose write to disk has been started
};

// Starts the editor "Notepad" on the named file, found as the system finds
// a command, without a command interpreter, and waits until it ends. An
// editor that cannot be started is passed over; its status is ignored.
void run_editor(const std::string& file_name);

}  // namespace rt
