// The POSIX side of the runtime layer.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

std::string reason(int error) { return errno_reason(error); }

}  // namespace

std::string_view line_end() { return "\n"; }

std::string platform_name_fault(std::u32string_view) { return {}; }

InputFile::InputFile(const std::string& name) : name_(name) {
  // O_NONBLOCK so that a FIFO with no writer does not hang the open; a
  // regular file ignores it, and anything else is refused below.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    const std::string message = tr("{}: cannot open: {}", {name, reason(error)});
    if (error == ENOENT) throw MissingFile(message, name);
    throw RunError(message);
  }
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

FileKind file_kind(const std::string& name) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) != 0) return FileKind::none;
  if (S_ISREG(st.st_mode)) return FileKind::regular;
  return S_ISDIR(st.st_mode) ? FileKind::folder : FileKind::other;
}

bool same_spelling(const std::string& a, const std::string& b) { return a == b; }

std::optional<std::uint64_t> free_space(const std::string& folder) {
  struct statvfs place {};
  if (::statvfs(folder.empty() ? "." : folder.c_str(), &place) != 0 || place.f_blocks == 0 ||
      place.f_frsize == 0)
    return std::nullopt;
  return static_cast<std::uint64_t>(place.f_bavail) * place.f_frsize;
}

}  // namespace rt
