#include "grafico/console.hpp"

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

namespace grafico {

#ifdef _WIN32

std::vector<std::filesystem::path> file_arguments(int, char**) {
  std::vector<std::filesystem::path> files;
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return files;
  for (int i = 1; i < count; ++i) files.emplace_back(arguments[i]);
  LocalFree(arguments);
  return files;
}

void print_error(std::string_view utf8_line) {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
    // Invalid UTF-8 becomes U+FFFD rather than failing.
    const int size = static_cast<int>(utf8_line.size());
    std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8_line.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8_line.data(), size, wide.data(), static_cast<int>(wide.size()));
    wide += L"\r\n";
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8_line.size()), utf8_line.data());
}

void hold_console_after_errors() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;  // a shell shares the window
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &mode)) return;
  print_error("Tecle Enter para fechar.");
  wchar_t line[8];
  DWORD read = 0;
  ReadConsoleW(input, line, 8, &read, nullptr);
}

#else

std::vector<std::filesystem::path> file_arguments(int argc, char** argv) {
  return std::vector<std::filesystem::path>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void print_error(std::string_view utf8_line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(utf8_line.size()), utf8_line.data());
}

void hold_console_after_errors() {}

#endif

}  // namespace grafico
