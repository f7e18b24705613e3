#include "runtime/platform/console.hpp"

#include "runtime/platform/messages.hpp"

#ifdef _WIN32
#include "runtime/platform/windows_text.hpp"
#include <shellapi.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#endif

namespace rt {

namespace {

// The line for standard output that could not be written.
void say_output_failed(const std::string& reason) {
  print_error_line(tr("{}: cannot write: {}", {tr("standard output"), reason}));
}

}  // namespace

#ifdef _WIN32

namespace {

// UTF-8 to UTF-16; a byte that is not UTF-8 becomes U+FFFD, so that a line
// is always shown.
std::wstring widened(std::string_view utf8) {
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::string narrowed(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string utf8(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), size, nullptr, nullptr);
  utf8.pop_back();  // the terminating NUL
  return utf8;
}

// Writes text with its '\n' made "\r\n": as UTF-16 to a console, whatever
// its code page, and as UTF-8 bytes to a file or a pipe. Returns the system
// error code, 0 when all was written.
DWORD write_text(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return ERROR_INVALID_HANDLE;
  std::string crlf;
  for (const char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = widened(crlf);
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr)
               ? 0
               : GetLastError();
  }
  for (std::size_t done = 0; done < crlf.size(); done += written) {
    if (!WriteFile(handle, crlf.data() + done, static_cast<DWORD>(crlf.size() - done), &written,
                   nullptr))
      return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
  }
  return 0;
}

}  // namespace

std::vector<std::string> command_arguments(int, char**) {
  // argv is in the ANSI code page, where a name may have no spelling.
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(narrowed(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool print_output_text(std::string_view text) {
  const DWORD error = write_text(STD_OUTPUT_HANDLE, text);
  if (error != 0) say_output_failed(system_reason(error));
  return error == 0;
}

void print_error_line(std::string_view line) {
  write_text(STD_ERROR_HANDLE, std::string(line) + "\n");
}

bool started_from_desktop() {
  // A command prompt shares its window with the program; Explorer opens
  // one for the program alone.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return false;
  DWORD mode = 0;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  return input != INVALID_HANDLE_VALUE && GetConsoleMode(input, &mode);
}

void hold_console_window() {
  if (!started_from_desktop()) return;
  print_error_line(tr("Press Enter to close."));
  // Keys pressed while the program ran do not count; a line read ends
  // with Enter.
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input);
  wchar_t line[64];
  DWORD read = 0;
  ReadConsoleW(input, line, 64, &read, nullptr);
}

#else

namespace {

bool is_utf8(std::string_view charset) {
  std::string name;
  for (const char c : charset)
    if (c != '-' && c != '_') name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name == "utf8";
}

// The text in the terminal's character set, looked up once. A page's text
// is UTF-8 whatever the locale variables say.
std::string for_terminal(std::string_view utf8) {
#ifdef __EMSCRIPTEN__
  return std::string(utf8);
#endif
  static const std::string charset = terminal_charset();
  return charset.empty() ? std::string(utf8) : in_charset(utf8, charset);
}

// Writes all of the bytes; the errno value of a failure, 0 when all went.
int write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// The length of what looks like one UTF-8 character at the start of bytes
// (its lead byte and the continuation bytes after it), 1 for a stray byte.
std::size_t character_length(std::string_view bytes) {
  std::size_t n = 1;
  if (static_cast<unsigned char>(bytes[0]) >= 0xC0)
    while (n < 4 && n < bytes.size() && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace

std::vector<std::string> command_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::string terminal_charset() {
  // The same variables, in the same order, that setlocale reads for the
  // character set; the program never calls setlocale, so that no number is
  // ever read or written with a decimal comma.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    const std::string_view locale(value);
    std::string charset;
    if (const std::size_t dot = locale.find('.'); dot != std::string_view::npos) {
      const std::size_t at = locale.find('@', dot);
      charset = locale.substr(dot + 1, at == std::string_view::npos ? at : at - dot - 1);
    } else if (locale != "C" && locale != "POSIX") {
      if (const locale_t installed = ::newlocale(LC_CTYPE_MASK, value, locale_t{})) {
        charset = ::nl_langinfo_l(CODESET, installed);
        ::freelocale(installed);
      }
    }
    return is_utf8(charset) ? std::string() : charset;
  }
  return {};
}

std::string in_charset(std::string_view utf8, const std::string& charset) {
  const iconv_t converter = ::iconv_open((charset + "//TRANSLIT").c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(utf8.data());
  std::size_t left = utf8.size();
  while (left > 0) {
    char* to = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t result = ::iconv(converter, &in, &left, &to, &room);
    const int error = errno;
    out.append(buffer, static_cast<std::size_t>(to - buffer));
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    // A character the set cannot show, even transliterated, or bytes that
    // are not UTF-8.
    const std::size_t skipped = character_length(std::string_view(in, left));
    out += '?';
    in += skipped;
    left -= skipped;
  }
  // The sequence back to the first state, for the sets that shift.
  char* to = buffer;
  std::size_t room = sizeof buffer;
  ::iconv(converter, nullptr, nullptr, &to, &room);
  out.append(buffer, static_cast<std::size_t>(to - buffer));
  ::iconv_close(converter);
  return out;
}

bool print_output_text(std::string_view text) {
  const int error = write_all(STDOUT_FILENO, for_terminal(text));
  if (error != 0) say_output_failed(errno_reason(error));
  return error == 0;
}

void print_error_line(std::string_view line) {
  write_all(STDERR_FILENO, for_terminal(std::string(line) + "\n"));
}

bool started_from_desktop() { return false; }

void hold_console_window() {}

#endif

}  // namespace rt
