// The POSIX side of the runtime layer.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

extern char** environ;

namespace rt {
namespace {

std::string reason(int error) { return std::strerror(error); }

// Temporary files still open, so that a run stopped by Ctrl-C or a hang-up
// leaves none behind. Fixed slots of plain characters: the signal handler
// may only read them and call unlink.
constexpr int kSlots = 4;
constexpr std::size_t kSlotLength = 64;
char g_temporaries[kSlots][kSlotLength];
volatile sig_atomic_t g_in_use[kSlots];

extern "C" void remove_temporaries_and_stop(int signal_number) {
  for (int i = 0; i < kSlots; ++i)
    if (g_in_use[i]) ::unlink(g_temporaries[i]);
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void watch_signals() {
  static const bool installed = [] {
    for (const int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
      struct sigaction action {};
      if (::sigaction(s, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
      action = {};
      action.sa_handler = remove_temporaries_and_stop;
      ::sigemptyset(&action.sa_mask);
      ::sigaction(s, &action, nullptr);
    }
    return true;
  }();
  (void)installed;
}

void remember_temporary(const std::string& name) {
  watch_signals();
  if (name.size() >= kSlotLength) return;
  for (int i = 0; i < kSlots; ++i) {
    if (!g_in_use[i]) {
      std::memcpy(g_temporaries[i], name.c_str(), name.size() + 1);
      g_in_use[i] = 1;
      return;
    }
  }
}

void forget_temporary(const std::string& name) {
  for (int i = 0; i < kSlots; ++i)
    if (g_in_use[i] && name == g_temporaries[i]) g_in_use[i] = 0;
}

}  // namespace

std::string_view line_end() { return "\n"; }

void print_error_line(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

std::string platform_name_fault(std::u32string_view) { return {}; }

InputFile::InputFile(const std::string& name) : name_(name) {
  // O_NONBLOCK so that a FIFO with no writer does not hang the open; a
  // regular file ignores it, and anything else is refused below.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) throw RunError(tr("{}: cannot open: {}", {name, reason(errno)}));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    throw RunError(tr("{}: cannot read: {}", {name, reason(error)}));
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    throw RunError(S_ISDIR(st.st_mode) ? tr("{}: cannot read: it is a folder", {name})
                                       : tr("{}: cannot read: not a regular file", {name}));
  }
  handle_ = fd;
}

InputFile::~InputFile() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw RunError(tr("{}: cannot read: {}", {name_, reason(errno)}));
  }
}

std::optional<FileId> file_identity(const std::string& name) {
  struct stat st {};
  if (::stat(name.c_str(), &st) != 0) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool is_folder(const std::string& name) {
  struct stat st {};
  return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool same_spelling(const std::string& a, const std::string& b) { return a == b; }

OutputFile::OutputFile(std::string name) : name_(std::move(name)) {
  // A hidden name of the program's own beside the real one, so that the
  // rename at commit stays in one directory (and one file system).
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0;; ++attempt) {
    temporary_ = ".arrasto-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    const int fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      handle_ = fd;
      remember_temporary(temporary_);
      break;
    }
    if (errno != EEXIST || attempt > 100) {
      const int error = errno;
      temporary_.clear();  // not ours: nothing to remove
      fail("cannot create", error);
    }
  }
  // A file that replaces an older one keeps the older one's permissions.
  struct stat st {};
  if (::stat(name_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    (void)::fchmod(static_cast<int>(handle_), st.st_mode & 07777);
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::write(const char* data, std::size_t size) {
  written_ += size;
  while (size > 0) {
    const ssize_t n = ::write(static_cast<int>(handle_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) fail("cannot write", errno);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
#if defined(__linux__)
  // Start the disk writes of every few megabytes as they are written,
  // without waiting for them, so that the fsync at commit has only the last
  // stretch left to wait for. A failure here shows again at that fsync.
  constexpr std::uint64_t kStretch = std::uint64_t{4} << 20;
  if (written_ - flushed_ >= kStretch) {
    (void)::sync_file_range(static_cast<int>(handle_), static_cast<off_t>(flushed_),
                            static_cast<off_t>(written_ - flushed_), SYNC_FILE_RANGE_WRITE);
    flushed_ = written_;
  }
#endif
}

void OutputFile::commit() {
  const int fd = static_cast<int>(handle_);
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) fail("cannot write", errno);
  handle_ = -1;
  if (::close(fd) != 0) {
    handle_ = -1;
    fail("cannot write", errno);
  }
  if (::rename(temporary_.c_str(), name_.c_str()) != 0) fail("cannot replace", errno);
  forget_temporary(temporary_);
  temporary_.clear();
}

void OutputFile::fail(const char* what, int error) {
  discard();
  throw RunError(name_ + ": " + what + ": " + reason(error));
}

void OutputFile::discard() noexcept {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    forget_temporary(temporary_);
  }
  temporary_.clear();
}

void run_editor(const std::string& file_name) {
  // A name that begins with '-' is passed as ./name, so that no editor
  // takes it for an option.
  const std::string argument = file_name.starts_with('-') ? "./" + file_name : file_name;
  char program[] = "Notepad";
  char* const argv[] = {program, const_cast<char*>(argument.c_str()), nullptr};
  pid_t child = 0;
  if (::posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) return;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace rt
