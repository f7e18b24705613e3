// Result files on POSIX, written beside their real name and moved over it
// when complete; the locks, journals and renames of their sets.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

using detail::Entry;
using detail::Handle;
using detail::Try;

std::string folder_or_dot(const std::string& folder) { return folder.empty() ? "." : folder; }

// Whether this process may put a new file in place of the existing file
// `name` in `folder`: not when the file is read-only to it (or to everyone,
// which even the superuser respects here, as Windows does), nor when the
// folder is sticky (as /tmp is) and neither the file nor the folder is its
// own, for then the system refuses to move anything over the file.
const char* refusal(const std::string& name, const std::string& folder, const struct stat& file) {
  if ((file.st_mode & 0222) == 0 ||
      (::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES))
    return "{}: cannot replace: the file is read-only";
  struct stat place {};
  const uid_t me = ::geteuid();
  if (me != 0 && ::stat(folder_or_dot(folder).c_str(), &place) == 0 &&
      (place.st_mode & S_ISVTX) != 0 && file.st_uid != me && place.st_uid != me)
    return "{}: cannot replace: another user owns it in a shared folder";
  return nullptr;
}

// Unnamed files exist on Linux (O_TMPFILE); they get a name through
// /proc/self/fd, where /proc is mounted.
bool unnamed_files_possible() {
#if defined(O_TMPFILE)
  static const bool proc = ::access("/proc/self/fd", X_OK) == 0;
  return proc;
#else
  return false;
#endif
}

// Gives an unnamed file the name `name`: 0, or the system's error.
int link_unnamed(int fd, const std::string& name) {
  const std::string open_file = "/proc/self/fd/" + std::to_string(fd);
  return ::linkat(AT_FDCWD, open_file.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0
             ? 0
             : errno;
}

// The lock of a journal or a folder: flock, which is the open file's, not
// the process's, and so is seen by every process of the machine, in any
// PID namespace, and on network file systems that pass locks on.
Try lock(int fd, bool wait) {
  while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
    if (errno == EINTR) continue;
    return errno == EWOULDBLOCK ? Try::busy : Try::refused;
  }
  return Try::done;
}

bool write_all_at(int fd, std::uint64_t offset, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::pwrite(fd, text.data(), text.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(n));
    offset += static_cast<std::uint64_t>(n);
  }
  return true;
}

}  // namespace

// ---- What the sets need of the system.

namespace detail {

SystemName system_name(const std::string& name) { return name; }

Try try_lock_folder(const std::string& folder, Handle& handle) {
  const int fd = ::open(folder_or_dot(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return Try::refused;
  const Try got = lock(fd, false);
  if (got == Try::done) {
    handle = fd;
  } else {
    ::close(fd);
  }
  return got;
}

void unlock_folder(Handle handle) noexcept { ::close(static_cast<int>(handle)); }

Try create_journal(const std::string& path, std::string_view text, Handle& handle, int& error) {
  // Where it can, the journal appears whole and locked, in one step.
#if defined(O_TMPFILE)
  if (unnamed_files_possible()) {
    const int fd = ::open(folder_or_dot(folder_of(path)).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC,
                          0666);
    if (fd >= 0) {
      if (lock(fd, true) == Try::done && write_all_at(fd, 0, text)) {
        error = link_unnamed(fd, path);
        if (error == 0) {
          handle = fd;
          return Try::done;
        }
      }
      ::close(fd);
      if (error == EEXIST) return Try::busy;
    }
  }
#endif
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    error = errno;
    return error == EEXIST ? Try::busy : Try::refused;
  }
  // A run that looks at it before the lock is held finds it empty, which
  // it leaves alone. Where the file system has no locks, no later run can
  // tell it from a living run's: it is then only ever removed by its own.
  (void)lock(fd, true);
  if (!write_all_at(fd, 0, text)) {
    error = errno;
    ::unlink(path.c_str());
    ::close(fd);
    return Try::refused;
  }
  handle = fd;
  return Try::done;
}

bool write_journal(Handle handle, std::uint64_t offset, std::string_view text, bool sync,
                   int& error) {
  const int fd = static_cast<int>(handle);
  if (!write_all_at(fd, offset, text) ||
      (sync && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)) {
    error = errno;
    return false;
  }
  return true;
}

void end_journal(Handle handle, const std::string& path) noexcept {
  ::unlink(path.c_str());
  ::close(static_cast<int>(handle));
}

void drop_journal(Handle handle) noexcept { ::close(static_cast<int>(handle)); }

std::vector<std::string> journal_names(const std::string& folder) {
  std::vector<std::string> names;
  DIR* const listing = ::opendir(folder_or_dot(folder).c_str());
  if (listing == nullptr) return names;
  while (const dirent* entry = ::readdir(listing))
    if (journal_token(entry->d_name)) names.emplace_back(entry->d_name);
  ::closedir(listing);
  return names;
}

Try open_abandoned_journal(const std::string& path, Handle& handle, std::string& text) {
  // Never through a link, never blocking on a FIFO.
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return Try::refused;
  struct stat st {};
  Try got = Try::refused;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) got = lock(fd, false);
  // Removed by its run between the listing and the lock: gone.
  if (got == Try::done && (::fstat(fd, &st) != 0 || st.st_nlink == 0)) got = Try::refused;
  text.clear();
  char piece[4096];
  while (got == Try::done && text.size() <= kLongestJournal) {
    const ssize_t n = ::read(fd, piece, sizeof piece);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) got = Try::refused;
    if (n <= 0) break;
    text.append(piece, static_cast<std::size_t>(n));
  }
  if (got != Try::done) {
    ::close(fd);
    return got;
  }
  handle = fd;
  return Try::done;
}

Entry entry_kind(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? Entry::none : Entry::other;
  if (S_ISDIR(st.st_mode)) return Entry::folder;
  return S_ISREG(st.st_mode) ? Entry::file : Entry::other;
}

int move_entry(const std::string& from, const std::string& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void remove_entry(const std::string& path) noexcept { ::unlink(path.c_str()); }

std::string system_reason(int error) { return errno_reason(error); }

}  // namespace detail

// ---- The result file.

void OutputFile::open() {
  detail::watch_interrupts();
  const std::string folder = detail::folder_of(name_);
  struct stat older {};
  const bool replacing = ::stat(name_.c_str(), &older) == 0 && S_ISREG(older.st_mode);
  if (replacing) {
    if (const char* why = refusal(name_, folder, older)) throw RunError(tr(why, {name_}));
  }
  index_ = set_->enlist(*this);

  // An unnamed file where the system has them: nothing of it can outlive
  // the run. Any refusal falls back to a named one, which gives the error
  // if there is one.
#if defined(O_TMPFILE)
  if (unnamed_files_possible()) {
    const int fd = ::open(folder_or_dot(folder).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) handle_ = fd;
  }
#endif
  if (handle_ < 0) {
    // No interrupt between the file's making and its handler's knowing:
    // else the handler would remove the journal and leave the file.
    const detail::InterruptsHeld held;
    const std::string name = folder + detail::new_name(set_->token_, index_);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) fail("{}: cannot create: {}", errno);
    handle_ = fd;
    temporary_ = name;
    detail::remember_temporary(temporary_);
  }
  // A file that replaces an older one keeps the older one's permissions,
  // but never set-user-ID or set-group-ID.
  if (replacing) (void)::fchmod(static_cast<int>(handle_), older.st_mode & 01777);
}

void OutputFile::write(const char* data, std::size_t size) {
  written_ += size;
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(handle_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("{}: cannot write: {}", errno);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
#if defined(__linux__)
  // Start the disk writes of every few megabytes as they are written,
  // without waiting for them, so that the fsync at the end has only the
  // last stretch left to wait for. A failure here shows again at that fsync.
  constexpr std::uint64_t kStretch = std::uint64_t{4} << 20;
  if (written_ - flushed_ >= kStretch) {
    (void)::sync_file_range(static_cast<int>(handle_), static_cast<off_t>(flushed_),
                            static_cast<off_t>(written_ - flushed_), SYNC_FILE_RANGE_WRITE);
    flushed_ = written_;
  }
#endif
}

void OutputFile::finish() {
  if (finished_) return;
  if (::fsync(static_cast<int>(handle_)) != 0 && errno != EINVAL && errno != EROFS)
    fail("{}: cannot write: {}", errno);
  finished_ = true;
}

void OutputFile::prepare() {
  const int fd = static_cast<int>(handle_);
  if (temporary_.empty()) {
    // The unnamed file gets its hidden name: a rename is what moves it in.
    const detail::InterruptsHeld held;
    const std::string name = detail::folder_of(name_) + detail::new_name(set_->token_, index_);
    if (const int error = link_unnamed(fd, name); error != 0) fail("{}: cannot write: {}", error);
    temporary_ = name;
    detail::remember_temporary(temporary_);
  }
  handle_ = -1;
  if (::close(fd) != 0) fail("{}: cannot write: {}", errno);
}

void OutputFile::fail(std::string_view what, int error) {
  discard();
  throw RunError(tr(what, {name_, errno_reason(error)}));
}

void OutputFile::discard() noexcept {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    detail::forget_temporary(temporary_);
  }
  temporary_.clear();
}

}  // namespace rt
