#include "runtime/platform/messages.hpp"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include "runtime/platform/windows_text.hpp"
#endif

namespace rt {
namespace {

struct Entry {
  std::string_view english;
  std::string_view translated;
};
struct Catalogue {
  std::string_view language;
  const Entry* entries;
  std::size_t size;
};

// The catalogues, generated from po/*.po at build time.
#include "messages_catalogues.inc"

std::string_view lookup(std::string_view language, std::string_view english) {
  for (const Catalogue& catalogue : kCatalogues) {
    if (catalogue.language != language) continue;
    for (std::size_t i = 0; i < catalogue.size; ++i)
      if (catalogue.entries[i].english == english && !catalogue.entries[i].translated.empty())
        return catalogue.entries[i].translated;
  }
  return english;
}

// The user's language, looked up once.
const std::string& user_language_cached() {
  static const std::string language = user_language();
  return language;
}

std::string filled(std::string_view text, std::initializer_list<std::string_view> arguments) {
  std::string out;
  out.reserve(text.size() + 64);
  const std::string_view* next = arguments.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != arguments.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The reasons a file operation can fail, in the program's own English (the
// catalogue's key). errno values differ between systems, so the table is
// built from the names; a value some system lacks is left out.
struct Reason {
  int error;
  std::string_view english;
};
constexpr Reason kErrnoReasons[] = {
    {EPERM, "Operation not permitted"},
    {ENOENT, "No such file or directory"},
    {EIO, "Input/output error"},
    {ENXIO, "No such device or address"},
    {EBADF, "Bad file descriptor"},
    {EAGAIN, "Resource temporarily unavailable"},
    {ENOMEM, "Not enough memory"},
    {EACCES, "Permission denied"},
    {EBUSY, "Device or resource busy"},
    {EEXIST, "File exists"},
    {EXDEV, "Invalid cross-device link"},
    {ENODEV, "No such device"},
    {ENOTDIR, "Not a directory"},
    {EISDIR, "Is a directory"},
    {EINVAL, "Invalid argument"},
    {ENFILE, "Too many open files in system"},
    {EMFILE, "Too many open files"},
    {ETXTBSY, "File in use by a running program"},
    {EFBIG, "File too large"},
    {ENOSPC, "No space left on device"},
    {EROFS, "Read-only file system"},
    {EMLINK, "Too many links"},
    {EPIPE, "Broken pipe"},
    {ENAMETOOLONG, "File name too long"},
    {ENOTSUP, "Operation not supported"},
    {EOPNOTSUPP, "Operation not supported"},
    {ELOOP, "Too many levels of symbolic links"},
    {EOVERFLOW, "Value too large"},
    {EILSEQ, "Illegal byte sequence"},
    {EINTR, "Interrupted system call"},
    {ETIMEDOUT, "Connection timed out"},
    {ENOTCONN, "The file system is not connected"},
#ifdef EDQUOT
    {EDQUOT, "Disk quota exceeded"},
#endif
#ifdef ESTALE
    {ESTALE, "Stale file handle"},
#endif
#ifdef EUCLEAN
    {EUCLEAN, "File system damaged: it needs a check"},
#endif
#ifdef ENOMEDIUM
    {ENOMEDIUM, "No disk in the drive"},
#endif
};

}  // namespace

std::string errno_reason_in(std::string_view language, int error) {
  for (const Reason& reason : kErrnoReasons)
    if (reason.error == error) return tr_in(language, reason.english);
  // The C libraries' texts for the rest differ (MinGW's names no number):
  // the number says it exactly.
  return tr_in(language, "system error {}", {std::to_string(error)});
}

std::string errno_reason(int error) { return errno_reason_in(user_language_cached(), error); }

#ifdef _WIN32

namespace {

// Windows system error codes the runtime can report, worded as the errno
// reasons above where they mean the same.
struct SystemReason {
  DWORD error;
  std::string_view english;
};
// Codes that MinGW-w64's headers do not name.
constexpr DWORD kVirusInfected = 225, kVirusDeleted = 226, kDiskQuotaExceeded = 1295;
constexpr SystemReason kSystemReasons[] = {
    {ERROR_FILE_NOT_FOUND, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, "No such folder"},
    {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
    {ERROR_ACCESS_DENIED, "Permission denied"},
    {ERROR_INVALID_HANDLE, "Bad file descriptor"},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory"},
    {ERROR_OUTOFMEMORY, "Not enough memory"},
    {ERROR_INVALID_DRIVE, "No such drive"},
    {ERROR_NOT_SAME_DEVICE, "Invalid cross-device link"},
    {ERROR_WRITE_PROTECT, "The disk is write-protected"},
    {ERROR_NOT_READY, "The drive is not ready"},
    {ERROR_CRC, "Input/output error"},
    {ERROR_SECTOR_NOT_FOUND, "Input/output error"},
    {ERROR_WRITE_FAULT, "Input/output error"},
    {ERROR_READ_FAULT, "Input/output error"},
    {ERROR_GEN_FAILURE, "Input/output error"},
    {ERROR_SHARING_VIOLATION, "The file is open in another program"},
    {ERROR_LOCK_VIOLATION, "The file is open in another program"},
    {ERROR_USER_MAPPED_FILE, "The file is open in another program"},
    {ERROR_HANDLE_DISK_FULL, "No space left on device"},
    {ERROR_DISK_FULL, "No space left on device"},
    {ERROR_NOT_SUPPORTED, "Operation not supported"},
    {ERROR_BAD_NETPATH, "The network path was not found"},
    {ERROR_BAD_NET_NAME, "The network path was not found"},
    {ERROR_UNEXP_NET_ERR, "The network connection was lost"},
    {ERROR_NETNAME_DELETED, "The network connection was lost"},
    {ERROR_NETWORK_ACCESS_DENIED, "Permission denied"},
    {ERROR_DEV_NOT_EXIST, "No such device"},
    {ERROR_DEVICE_NOT_CONNECTED, "No such device"},
    {ERROR_FILE_EXISTS, "File exists"},
    {ERROR_ALREADY_EXISTS, "File exists"},
    {ERROR_INVALID_PARAMETER, "Invalid argument"},
    {ERROR_BROKEN_PIPE, "Broken pipe"},
    {ERROR_NO_DATA, "Broken pipe"},
    {ERROR_SEM_TIMEOUT, "Connection timed out"},
    {ERROR_INVALID_NAME, "Invalid file name"},
    {ERROR_BAD_PATHNAME, "Invalid file name"},
    {ERROR_FILENAME_EXCED_RANGE, "File name too long"},
    {ERROR_FILE_TOO_LARGE, "File too large"},
    {kVirusInfected, "The antivirus blocked the file"},
    {kVirusDeleted, "The antivirus blocked the file"},
    {ERROR_DIRECTORY, "Not a directory"},
    {ERROR_DELETE_PENDING, "The file is being deleted"},
    {ERROR_NO_MEDIA_IN_DRIVE, "No disk in the drive"},
    {ERROR_NO_UNICODE_TRANSLATION, "Illegal byte sequence"},
    {ERROR_TOO_MANY_LINKS, "Too many links"},
    {kDiskQuotaExceeded, "Disk quota exceeded"},
    {ERROR_FILE_CORRUPT, "File system damaged: it needs a check"},
    {ERROR_DISK_CORRUPT, "File system damaged: it needs a check"},
    {ERROR_CANT_RESOLVE_FILENAME, "Too many levels of symbolic links"},
};

// The system's description, as one line: the line breaks Windows puts
// inside and after its messages become blanks or go, as does the closing
// full stop, so that it reads like the rest of the program's errors.
std::string system_description(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  std::wstring text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  for (wchar_t& c : text)
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  while (!text.empty() && text.back() == L' ') text.pop_back();
  if (!text.empty() && text.back() == L'.') text.pop_back();
  return win::to_utf8(text);
}

}  // namespace

std::string system_reason_in(std::string_view language, unsigned long error) {
  for (const SystemReason& reason : kSystemReasons)
    if (reason.error == error) return tr_in(language, reason.english);
  const std::string number = std::to_string(error);
  const std::string text = system_description(static_cast<DWORD>(error));
  return text.empty() ? tr_in(language, "system error {}", {number})
                      : tr_in(language, "system error {}: {}", {number, text});
}

std::string system_reason(unsigned long error) {
  return system_reason_in(user_language_cached(), error);
}

std::string user_language() {
  // The language of the user's Windows interface, not the formats' locale.
  switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_PORTUGUESE: return "pt";
    default: return "en";
  }
}

#else

std::string user_language() {
  // The first of these that is set and not empty decides, as for
  // setlocale's LC_MESSAGES category; "pt_BR.UTF-8" gives "pt". "C" and
  // "POSIX" are English.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string code;
    for (const char* c = value; std::isalpha(static_cast<unsigned char>(*c)) && code.size() < 3; ++c)
      code += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return code.size() == 2 ? code : "en";
  }
  return "en";
}

#endif

std::string tr_in(std::string_view language, std::string_view english,
                  std::initializer_list<std::string_view> arguments) {
  return filled(lookup(language, english), arguments);
}

std::string tr(std::string_view english, std::initializer_list<std::string_view> arguments) {
  return tr_in(user_language_cached(), english, arguments);
}

}  // namespace rt
