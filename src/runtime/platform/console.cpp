#include "runtime/platform/console.hpp"

#ifdef _WIN32
#include "runtime/platform/windows_text.hpp"
#include <shellapi.h>

#include "runtime/platform/messages.hpp"
#else
#include <cstdio>
#endif

namespace rt {

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
// its code page, and as UTF-8 bytes to a file or a pipe.
void write_text(DWORD which, std::string_view text) {
  const HANDLE handle = GetStdHandle(which);
  if (handle == INVALID_HANDLE_VALUE || handle == nullptr) return;
  std::string crlf;
  for (const char c : text) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = widened(crlf);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(handle, crlf.data(), static_cast<DWORD>(crlf.size()), &written, nullptr);
  }
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

void print_output_text(std::string_view text) { write_text(STD_OUTPUT_HANDLE, text); }

void print_error_line(std::string_view line) {
  write_text(STD_ERROR_HANDLE, std::string(line) + "\n");
}

void hold_console_window() {
  // A command prompt shares its window with the program; Explorer opens
  // one for the program alone, and closes it as the program ends.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
  print_error_line(tr("Press Enter to close."));
  // Keys pressed while the program ran do not count; a line read ends
  // with Enter.
  FlushConsoleInputBuffer(input);
  wchar_t line[64];
  DWORD read = 0;
  ReadConsoleW(input, line, 64, &read, nullptr);
}

#else

std::vector<std::string> command_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void print_output_text(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

void print_error_line(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

void hold_console_window() {}

#endif

}  // namespace rt
