// A stand-in for Notepad in the Windows end-to-end run. Each call appends to
// "..\notepad.log" (outside the folder listed), in UTF-8, one item a line:
// "call <command line>", "arg <each argument as CommandLineToArgvW splits
// it>", "file <each entry of the working folder, sorted, hidden ones left out>".

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string utf8(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();  // the terminating NUL
  return out;
}

}  // namespace

int main() {
  std::string log = "call " + utf8(GetCommandLineW()) + "\n";

  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv != nullptr && i < argc; ++i) log += "arg " + utf8(argv[i]) + "\n";
  if (argv != nullptr) LocalFree(argv);

  std::vector<std::wstring> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW(L"*", &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      const bool hidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
      if (name != L"." && name != L".." && !hidden) names.push_back(name);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  std::sort(names.begin(), names.end());
  for (const std::wstring& name : names) log += "file " + utf8(name.c_str()) + "\n";

  const HANDLE out = CreateFileW(L"..\\notepad.log", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  const BOOL ok = WriteFile(out, log.data(), static_cast<DWORD>(log.size()), &written, nullptr);
  CloseHandle(out);
  return ok && written == log.size() ? 0 : 2;
}
