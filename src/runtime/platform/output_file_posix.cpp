// Result files on POSIX, written beside their real name and moved over it
// when complete.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <set>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

std::string reason(int error) { return errno_reason(error); }

std::string folder_or_dot(const std::string& folder) { return folder.empty() ? "." : folder; }

std::string next_temporary(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  return folder + detail::temporary_name(static_cast<std::uint64_t>(::getpid()), counter++);
}

// Removes, once per folder, the temporary files that runs no longer alive
// left there (killed outright, or on a system without unnamed files). A
// file whose run may still be alive, or that is not one of ours, stays.
void remove_stale_temporaries(const std::string& folder) {
  static std::set<std::string> done;
  if (!done.insert(folder).second) return;
  DIR* const listing = ::opendir(folder_or_dot(folder).c_str());
  if (listing == nullptr) return;
  while (const dirent* entry = ::readdir(listing)) {
    const std::optional<std::uint64_t> owner = detail::temporary_owner(entry->d_name);
    if (!owner || *owner > static_cast<std::uint64_t>(INT32_MAX)) continue;
    const pid_t process = static_cast<pid_t>(*owner);
    if (process != ::getpid() && ::kill(process, 0) != 0 && errno == ESRCH)
      ::unlinkat(::dirfd(listing), entry->d_name, 0);
  }
  ::closedir(listing);
}

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

}  // namespace

OutputFile::OutputFile(std::string name)
    : name_(std::move(name)), folder_(detail::folder_of(name_)) {
  detail::watch_interrupts();
  remove_stale_temporaries(folder_);
  struct stat older {};
  const bool replacing = ::stat(name_.c_str(), &older) == 0 && S_ISREG(older.st_mode);
  if (replacing) {
    if (const char* why = refusal(name_, folder_, older)) throw RunError(tr(why, {name_}));
  }

  // An unnamed file where the system has them: nothing of it can outlive
  // the run. Any refusal falls back to a named one, which gives the error
  // if there is one.
#if defined(O_TMPFILE)
  if (unnamed_files_possible()) {
    const int fd = ::open(folder_or_dot(folder_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0) handle_ = fd;
  }
#endif
  for (int attempt = 0; handle_ < 0; ++attempt) {
    temporary_ = next_temporary(folder_);
    detail::remember_temporary(temporary_);
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      break;
    }
    const int error = errno;
    detail::forget_temporary(temporary_);
    temporary_.clear();  // not ours: nothing to remove
    if (error != EEXIST || attempt > 100) fail("{}: cannot create: {}", error);
  }
  // A file that replaces an older one keeps the older one's permissions,
  // but never set-user-ID or set-group-ID.
  if (replacing) (void)::fchmod(static_cast<int>(handle_), older.st_mode & 01777);
}

OutputFile::~OutputFile() { discard(); }

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

void OutputFile::commit() {
  finish();
  const int fd = static_cast<int>(handle_);
  if (temporary_.empty()) {
    // The unnamed file gets a hidden name first: a rename is what replaces
    // an older file in one step.
    const std::string open_file = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0;; ++attempt) {
      temporary_ = next_temporary(folder_);
      detail::remember_temporary(temporary_);
      if (::linkat(AT_FDCWD, open_file.c_str(), AT_FDCWD, temporary_.c_str(),
                   AT_SYMLINK_FOLLOW) == 0)
        break;
      const int error = errno;
      detail::forget_temporary(temporary_);
      temporary_.clear();
      if (error != EEXIST || attempt > 100) fail("{}: cannot write: {}", error);
    }
  }
  handle_ = -1;
  if (::close(fd) != 0) fail("{}: cannot write: {}", errno);
  if (::rename(temporary_.c_str(), name_.c_str()) != 0) fail("{}: cannot replace: {}", errno);
  detail::forget_temporary(temporary_);
  temporary_.clear();
}

void OutputFile::fail(std::string_view what, int error) {
  discard();
  throw RunError(tr(what, {name_, reason(error)}));
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
