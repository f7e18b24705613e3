// Result files on Windows, written beside their real name and moved over
// it when complete.

#include <algorithm>
#include <atomic>
#include <set>
#include <string>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/platform/windows_text.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

// Whether the process of that ID has ended; a process this one may not
// look at is taken as alive.
bool process_gone(std::uint64_t id) {
  if (id > 0xFFFFFFFFu) return false;
  const HANDLE process =
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
  CloseHandle(process);
  return ended;
}

// Removes, once per folder, the temporary files that runs no longer alive
// left there (ended from the Task Manager, or by a power cut). A file whose
// run may still be alive, or that is not one of ours, stays.
void remove_stale_temporaries(const std::wstring& folder) {
  static std::set<std::wstring> done;
  if (!done.insert(folder).second) return;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((folder + L".arrasto-*.tmp").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = win::to_utf8(entry.cFileName);
    const std::optional<std::uint64_t> owner = detail::temporary_owner(name);
    if (owner && *owner != GetCurrentProcessId() && process_gone(*owner))
      DeleteFileW((folder + entry.cFileName).c_str());
  } while (FindNextFileW(search, &entry));
  FindClose(search);
}

}  // namespace

OutputFile::OutputFile(std::string name)
    : name_(std::move(name)), folder_(detail::folder_of(name_)) {
  std::wstring real, folder;
  if (!win::to_wide(name_, real) || !win::to_wide(folder_, folder))
    fail("{}: cannot create: {}", ERROR_NO_UNICODE_TRANSLATION);
  detail::watch_interrupts();
  remove_stale_temporaries(folder);
  // A read-only file is one the user means to keep: MoveFileEx would refuse
  // it only at the end, after the other results had been replaced.
  const DWORD attributes = GetFileAttributesW(real.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    throw RunError(tr("{}: cannot replace: the file is read-only", {name_}));

  // A hidden name of the program's own beside the real one, so that the
  // move at commit stays in one folder (and one volume). It is opened
  // sharing deletion, so that the interrupt handler can delete it while
  // open; it goes when the ending process closes it.
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0;; ++attempt) {
    temporary_ = folder_ + detail::temporary_name(GetCurrentProcessId(), counter++);
    std::wstring wide_temporary;
    win::to_wide(temporary_, wide_temporary);
    detail::remember_temporary(wide_temporary);
    const HANDLE file = CreateFileW(wide_temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      handle_ = reinterpret_cast<std::intptr_t>(file);
      return;
    }
    const DWORD error = GetLastError();
    detail::forget_temporary(wide_temporary);
    temporary_.clear();  // not ours: nothing to remove
    if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100)
      fail("{}: cannot create: {}", static_cast<int>(error));
  }
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::write(const char* data, std::size_t size) {
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr))
      fail("{}: cannot write: {}", static_cast<int>(GetLastError()));
    if (written == 0) fail("{}: cannot write: {}", ERROR_WRITE_FAULT);
    data += written;
    size -= written;
  }
}

void OutputFile::finish() {
  if (finished_) return;
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  if (!FlushFileBuffers(file)) fail("{}: cannot write: {}", static_cast<int>(GetLastError()));
  handle_ = -1;
  if (!CloseHandle(file)) fail("{}: cannot write: {}", static_cast<int>(GetLastError()));
  finished_ = true;
}

void OutputFile::commit() {
  finish();
  std::wstring real, wide_temporary;
  win::to_wide(name_, real);  // checked when the file was created
  win::to_wide(temporary_, wide_temporary);
  // The file takes the place of the real one visible, as the older was.
  SetFileAttributesW(wide_temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!MoveFileExW(wide_temporary.c_str(), real.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    fail("{}: cannot replace: {}", static_cast<int>(GetLastError()));
  detail::forget_temporary(wide_temporary);
  temporary_.clear();
}

void OutputFile::fail(std::string_view what, int error) {
  discard();
  throw RunError(tr(what, {name_, win::reason(static_cast<DWORD>(error))}));
}

void OutputFile::discard() noexcept {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
  if (!temporary_.empty()) {
    std::wstring wide_temporary;
    win::to_wide(temporary_, wide_temporary);
    DeleteFileW(wide_temporary.c_str());
    detail::forget_temporary(wide_temporary);
  }
  temporary_.clear();
}

}  // namespace rt
