#pragma once
// What differs between POSIX and Windows, behind one small interface:
// reading the data file, file identity, result files written under a
// temporary name and moved over the real one, the line end, the name rules,
// and the editor run with the interrupts around it. File names cross this interface as UTF-8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// The line end of every record written.
std::string_view line_end();

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

// What a name itself is, a symbolic link not followed: no file, a regular
// file, a folder, or anything else (a link, a device, a FIFO, a socket).
enum class FileKind { none, regular, folder, other };
FileKind file_kind(const std::string& name);

// Whether two names are spelled as one name by this system's file names
// (exactly on POSIX, ignoring case on Windows).
bool same_spelling(const std::string& a, const std::string& b);

// A result file. It is written under a temporary name in the same folder
// (on Linux an unnamed file, which no crash can leave behind) and replaces
// the real name only when commit() succeeds; until then an older file of
// that name is left as it was, and a file never committed is removed. An
// older file the user made read-only is refused at once, before anything is
// written; a replaced file's permissions carry over, without set-user-ID or
// set-group-ID. Temporary files of runs that are no longer alive are
// removed from the folder. Errors throw RunError naming the real file and
// the system's reason.
class OutputFile {
 public:
  explicit OutputFile(std::string name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const char* data, std::size_t size);
  // Puts everything written on the disk: every write error (a full disk
  // among them) has shown by its return, and only commit's move is left.
  void finish();
  // finish(), if not done yet, then moves the file over its real name.
  void commit();
  const std::string& name() const { return name_; }

 private:
  [[noreturn]] void fail(std::string_view what, int error);
  void discard() noexcept;

  std::string name_;
  std::string folder_;     // where the temporary lives: the real name's folder
  std::string temporary_;  // the temporary's name; empty while it has none
  std::intptr_t handle_ = -1;
  bool finished_ = false;
  std::uint64_t written_ = 0;  // bytes written so far
  std::uint64_t flushed_ = 0;  // bytes whose write to disk has been started
};

// How an editor run ended, as far as the run is concerned.
struct EditorEnd {
  // The user's interrupt that ended the editor (on POSIX the signal,
  // SIGINT or SIGQUIT; on Windows Ctrl-C or Ctrl-Break); 0 when it ended
  // otherwise or was never started.
  int interrupt = 0;
  bool interrupted() const { return interrupt != 0; }
};

// Starts the editor "Notepad" on the named file, without a command
// interpreter, and waits until it ends. On POSIX it is found on PATH; on
// Windows in the program's own folder, the system folders and PATH, never
// in the working folder. An editor that cannot be started is passed over.
// While it runs, the program leaves the user's interrupt (Ctrl-C, and on
// POSIX the quit key) to the editor, as a shell does.
[[nodiscard]] EditorEnd run_editor(const std::string& file_name);

// Ends the process as the interrupt that ended the editor would have ended
// it: every temporary file removed, nothing more moved into place.
[[noreturn]] void stop_interrupted(const EditorEnd& end);

}  // namespace rt
