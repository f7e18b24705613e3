// A stand-in for Notepad in the Windows end-to-end runs: each call appends
// its command line, in UTF-8, as one line of "..\notepad.log", outside the
// folder the run works in.
//
// Started as "notepad_standin --hold FILE", it is instead another program
// holding FILE open the way a spreadsheet does, sharing it for reading
// only: it creates "..\holding" once it holds the file, and lets it go when
// "..\release" appears (or after a minute).

#include <windows.h>

#include <string>

namespace {

int hold(const wchar_t* file) {
  const HANDLE held = CreateFileW(file, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 3;
  CloseHandle(CreateFileW(L"..\\holding", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  for (int waited = 0; waited < 6000; ++waited) {
    if (GetFileAttributesW(L"..\\release") != INVALID_FILE_ATTRIBUTES) break;
    Sleep(10);
  }
  CloseHandle(held);
  return 0;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments != nullptr && count == 3 && std::wstring(arguments[1]) == L"--hold")
    return hold(arguments[2]);
  const wchar_t* command = GetCommandLineW();
  const int n = WideCharToMultiByte(CP_UTF8, 0, command, -1, nullptr, 0, nullptr, nullptr);
  std::string line(static_cast<std::size_t>(n > 0 ? n : 1), '\n');
  WideCharToMultiByte(CP_UTF8, 0, command, -1, line.data(), n, nullptr, nullptr);
  line.back() = '\n';  // in place of the terminating NUL
  const HANDLE log = CreateFileW(L"..\\notepad.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  const bool ok = log != INVALID_HANDLE_VALUE &&
                  WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (log != INVALID_HANDLE_VALUE) CloseHandle(log);
  return ok && written == line.size() ? 0 : 2;
}
