#pragma once
// What differs between POSIX and Windows, behind one small interface:
// reading the data file, file identity, result files written under hidden
// names and moved over the real ones together, the free space of a folder,
// the line end, the name rules, and the editor run with the interrupts
// around it. File names cross this interface as UTF-8.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

class OutputSet;

// A result file. It is written under a hidden name in the same folder (on
// Linux an unnamed file until it is put in place) and replaces the real
// name only when committed, on its own (commit()) or with the other files
// of its set (OutputSet::commit()); until then an older file of that name
// is left as it was, and a file never committed is removed. An older file
// the user made read-only is refused at once, before anything is written;
// a replaced file's permissions carry over, without set-user-ID or
// set-group-ID. A name beginning with ".arrasto", the program's own hidden
// names, is refused. Errors throw RunError naming the real file and the
// system's reason.
class OutputFile {
 public:
  // A file of its own: commit() puts it in place.
  explicit OutputFile(std::string name);
  // A file of the set, in the set's folder: the set puts it in place.
  OutputFile(OutputSet& set, std::string name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void write(const char* data, std::size_t size);
  // Puts everything written on the disk: every write error (a full disk
  // among them) has shown by its return, and only the move is left.
  void finish();
  // For a file of its own: finish(), if not done yet, then moves the file
  // over its real name.
  void commit();
  const std::string& name() const { return name_; }

 private:
  friend class OutputSet;
  void start();
  // Checks the older file and opens the new one under its hidden name.
  void open();
  // Gives the finished file its hidden name, ready to be moved.
  void prepare();
  [[noreturn]] void fail(std::string_view what, int error);
  void discard() noexcept;

  std::unique_ptr<OutputSet> own_;  // the set of a file of its own
  OutputSet* set_ = nullptr;
  std::size_t index_ = 0;  // its place in the set
  std::string name_;
  std::string temporary_;  // the hidden name, while it has one
  std::intptr_t handle_ = -1;
  bool finished_ = false;
  std::uint64_t written_ = 0;  // bytes written so far
  std::uint64_t flushed_ = 0;  // bytes whose write to disk has been started
};

// Result files in one folder that replace their older files together: after
// commit() the folder holds all of the new files, and before it, or when
// it fails, all of the older ones, whatever stops the run: an interrupt or
// a hang-up waits until the set is whole; a kill outright (or a power cut,
// on a file system that keeps its changes in order) may leave the set half
// moved, which the next run in the folder finishes (see temporaries.hpp).
// The older files are moved aside under hidden names, the new ones moved
// in, the older ones removed, under a folder-wide lock that keeps two runs
// from doing so at once; whatever stops one older file from being moved (a
// file the system protects, or another program holds open) leaves them all
// as they were. What killed runs left is finished when a set is made in
// that folder and again when one is put in place: their older files put
// back, or their new files put in.
class OutputSet {
 public:
  // folder: "" for the working folder, else a path ending in a separator.
  explicit OutputSet(std::string folder = {});
  ~OutputSet();
  OutputSet(const OutputSet&) = delete;
  OutputSet& operator=(const OutputSet&) = delete;

  // Moves every file of the set over its real name, all or none. Each file
  // must have been finished.
  void commit();

 private:
  friend class OutputFile;
  // Adds a file: the journal lists it before its hidden name exists.
  std::size_t enlist(OutputFile& file);
  void leave(OutputFile& file) noexcept;
  // Leaves the journal, and what it lists, for a later run to finish; no
  // interrupt handler removes it.
  void keep_journal();
  std::string hidden(const std::string& name) const { return folder_ + name; }

  std::string folder_;
  std::string token_;  // empty until the first file
  std::intptr_t journal_ = -1;
  std::uint64_t journal_size_ = 0;
  std::vector<OutputFile*> files_;  // by their place; null once a file has left
  bool committed_ = false;
  bool keep_journal_ = false;  // what it lists is left for a later run to finish
};

// The bytes free for this user in a folder ("" for the working folder);
// nothing when the file system cannot say.
std::optional<std::uint64_t> free_space(const std::string& folder);

// A thread of the program's own (a writer) leaves the user's interrupts and
// the signals that end a run to the main thread, which may be holding them.
void keep_interrupts_off_this_thread();

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
// it: every hidden file removed, nothing more moved into place.
[[noreturn]] void stop_interrupted(const EditorEnd& end);

}  // namespace rt
