// A stand-in for Notepad in the Windows end-to-end runs: each call appends
// its command line, in UTF-8, as one line of "..\notepad.log", outside the
// folder the run works in.

#include <windows.h>

#include <string>

int main() {
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
