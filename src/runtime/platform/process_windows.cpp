// Processes and the console's interrupts on Windows: the editor run, and
// the console events that end a run, which must leave no hidden file
// behind and never stop one while its result files are moved in.

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/platform/windows_text.hpp"

namespace rt {
namespace {

// Hidden files that have a name. The console calls the handler on a
// thread of its own: it only reads these fixed slots and deletes. In use:
// 1 for a temporary file, 2 for a journal, which goes last.
constexpr int kSlots = 16;
constexpr std::size_t kSlotLength = 1024;
wchar_t g_temporaries[kSlots][kSlotLength];
std::atomic<int> g_in_use[kSlots];

// While the main thread holds the interrupts, the handler waits.
std::atomic<int> g_holds{0};

// While the editor runs, Ctrl-C and Ctrl-Break are the editor's to handle
// (a console editor shares the console); the program waits for it.
std::atomic<bool> g_editor_running{false};

BOOL WINAPI on_console_event(DWORD event) {
  if (g_editor_running.load() && (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT))
    return TRUE;
  while (g_holds.load() > 0) Sleep(1);
  detail::remove_temporaries();
  return FALSE;  // the next handler, the system's, ends the process
}

// One argument on a command line, quoted so that the program's startup
// code (CommandLineToArgvW and the C runtimes' rules) gives it back whole:
// backslashes are literal except before a quote, where each is doubled.
std::wstring quoted_argument(const std::wstring& argument) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      out.append(backslashes * 2 + 1, L'\\');
    } else {
      out.append(backslashes, L'\\');
    }
    out += c;
    backslashes = 0;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

// Where the editor may come from: the program's own folder, the system
// folders and PATH, in the order Windows searches them for a program,
// without the working folder, where any downloaded file may lie.
std::wstring editor_search_path() {
  std::vector<wchar_t> buffer(32768);
  const auto size = static_cast<DWORD>(buffer.size());
  std::wstring list;
  const auto add = [&](std::wstring folder) {
    std::erase(folder, L'"');
    if (!folder.empty()) list += (list.empty() ? L"" : L";") + folder;
  };
  const DWORD module = GetModuleFileNameW(nullptr, buffer.data(), size);
  if (module > 0 && module < size) {
    const std::wstring program(buffer.data(), module);
    add(program.substr(0, program.find_last_of(L"\\/")));
  }
  const UINT system = GetSystemDirectoryW(buffer.data(), size);
  if (system > 0 && system < size) add(std::wstring(buffer.data(), system));
  const UINT windows = GetWindowsDirectoryW(buffer.data(), size);
  if (windows > 0 && windows < size) {
    const std::wstring folder(buffer.data(), windows);
    add(folder + L"\\System");
    add(folder);
  }
  const DWORD path = GetEnvironmentVariableW(L"PATH", buffer.data(), size);
  if (path > 0 && path < size) {
    const std::wstring entries(buffer.data(), path);
    for (std::size_t start = 0; start <= entries.size();) {
      const std::size_t end = std::min(entries.find(L';', start), entries.size());
      add(entries.substr(start, end - start));
      start = end + 1;
    }
  }
  return list;
}

}  // namespace

namespace detail {

void watch_interrupts() {
  static const bool installed = SetConsoleCtrlHandler(on_console_event, TRUE) != 0;
  (void)installed;
}

void remember_temporary(const SystemName& name, bool journal) {
  watch_interrupts();
  if (name.size() >= kSlotLength) return;
  for (int i = 0; i < kSlots; ++i) {
    if (g_in_use[i].load() == 0) {
      name.copy(g_temporaries[i], name.size());
      g_temporaries[i][name.size()] = L'\0';
      g_in_use[i].store(journal ? 2 : 1);
      return;
    }
  }
}

void forget_temporary(const SystemName& name) {
  for (int i = 0; i < kSlots; ++i)
    if (g_in_use[i].load() != 0 && name == g_temporaries[i]) g_in_use[i].store(0);
}

void remove_temporaries() noexcept {
  for (const int kind : {1, 2})
    for (int i = 0; i < kSlots; ++i)
      if (g_in_use[i].load() == kind) DeleteFileW(g_temporaries[i]);
}

void hold_interrupts() { ++g_holds; }

void release_interrupts() noexcept { --g_holds; }

}  // namespace detail

void keep_interrupts_off_this_thread() {
  // The console's events come on a thread of their own, never on this one.
}

EditorEnd run_editor(const std::string& file_name) {
  std::wstring name;
  if (!win::to_wide(file_name, name)) return {};
  detail::watch_interrupts();
  std::vector<wchar_t> application(32768);
  const DWORD found = SearchPathW(editor_search_path().c_str(), L"Notepad", L".exe",
                                  static_cast<DWORD>(application.size()), application.data(),
                                  nullptr);
  if (found == 0 || found >= application.size()) return {};
  // The command line is the one Notepad has always been given; it is
  // writable, as CreateProcessW requires.
  std::wstring command = L"Notepad " + quoted_argument(name);
  STARTUPINFOW startup{};
  startup.cb = static_cast<DWORD>(sizeof startup);
  PROCESS_INFORMATION process{};
  // Handles are inherited so that a console editor shares the standard
  // streams; the program's own files are opened non-inheritable.
  g_editor_running.store(true);
  if (!CreateProcessW(application.data(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                      nullptr, &startup, &process)) {
    g_editor_running.store(false);
    return {};
  }
  CloseHandle(process.hThread);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  g_editor_running.store(false);
  // A console program ended by Ctrl-C or Ctrl-Break exits with this code.
  return EditorEnd{code == static_cast<DWORD>(STATUS_CONTROL_C_EXIT) ? 1 : 0};
}

void stop_interrupted(const EditorEnd&) {
  detail::remove_temporaries();
  ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT));
}

}  // namespace rt
