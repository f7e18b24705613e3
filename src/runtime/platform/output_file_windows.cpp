// Result files on Windows, written beside their real name and moved over
// it when complete; the locks, journals and renames of their sets.

#include <algorithm>
#include <string>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/platform/windows_text.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

using detail::Entry;
using detail::Handle;
using detail::Try;

std::wstring wide(const std::string& name) {
  std::wstring out;
  win::to_wide(name, out);  // every name here was checked when its file was made
  return out;
}

HANDLE as_handle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

bool write_all_at(HANDLE file, std::uint64_t offset, std::string_view text) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file, at, nullptr, FILE_BEGIN)) return false;
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0)
      return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

// ---- What the sets need of the system. A journal's lock is its handle:
// its run keeps it open without sharing writing, so a run that can open it
// for writing knows that run has ended, since Windows closes every handle
// of a process that ends, however it ends.

namespace detail {

SystemName system_name(const std::string& name) { return wide(name); }

Try try_lock_folder(const std::string& folder, Handle& handle) {
  // The folder's lock is a hidden file that only one process at a time can
  // open, and that goes when it is closed, also by a process that ends.
  const std::wstring path = wide(folder) + L".arrasto.lock";
  const HANDLE lock =
      CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (lock != INVALID_HANDLE_VALUE) {
    handle = reinterpret_cast<Handle>(lock);
    return Try::done;
  }
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION) return Try::busy;
  // Being removed by the run that held it, or a folder this user may not
  // write to.
  if (error == ERROR_ACCESS_DENIED &&
      (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ||
       GetLastError() == ERROR_ACCESS_DENIED))
    return Try::busy;
  return Try::refused;
}

void unlock_folder(Handle handle) noexcept { CloseHandle(as_handle(handle)); }

Try create_journal(const std::string& path, std::string_view text, Handle& handle, int& error) {
  const HANDLE journal = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (journal == INVALID_HANDLE_VALUE) {
    error = static_cast<int>(GetLastError());
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Try::busy : Try::refused;
  }
  if (!write_all_at(journal, 0, text)) {
    error = static_cast<int>(GetLastError());
    end_journal(reinterpret_cast<Handle>(journal), path);
    return Try::refused;
  }
  handle = reinterpret_cast<Handle>(journal);
  return Try::done;
}

bool write_journal(Handle handle, std::uint64_t offset, std::string_view text, bool sync,
                   int& error) {
  if (!write_all_at(as_handle(handle), offset, text) ||
      (sync && !FlushFileBuffers(as_handle(handle)))) {
    error = static_cast<int>(GetLastError());
    return false;
  }
  return true;
}

void end_journal(Handle handle, const std::string& path) noexcept {
  FILE_DISPOSITION_INFO remove{};
  remove.DeleteFile = TRUE;
  if (!SetFileInformationByHandle(as_handle(handle), FileDispositionInfo, &remove, sizeof remove))
    DeleteFileW(wide(path).c_str());
  CloseHandle(as_handle(handle));
}

void drop_journal(Handle handle) noexcept { CloseHandle(as_handle(handle)); }

std::vector<std::string> journal_names(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((wide(folder) + L".arrasto-*.journal").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = win::to_utf8(entry.cFileName);
    if (journal_token(name)) names.push_back(name);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return names;
}

Try open_abandoned_journal(const std::string& path, Handle& handle, std::string& text) {
  // Opened for writing, which its living run does not share; never
  // through a link.
  const HANDLE journal = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (journal == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_SHARING_VIOLATION ? Try::busy : Try::refused;
  BY_HANDLE_FILE_INFORMATION info{};
  constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  bool ok = GetFileType(journal) == FILE_TYPE_DISK && GetFileInformationByHandle(journal, &info) &&
            (info.dwFileAttributes & kNotAFile) == 0;
  text.clear();
  char piece[4096];
  while (ok && text.size() <= kLongestJournal) {
    DWORD got = 0;
    ok = ReadFile(journal, piece, sizeof piece, &got, nullptr);
    if (!ok || got == 0) break;
    text.append(piece, got);
  }
  if (!ok) {
    CloseHandle(journal);
    return Try::refused;
  }
  handle = reinterpret_cast<Handle>(journal);
  return Try::done;
}

Entry entry_kind(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Entry::none
                                                                          : Entry::other;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Entry::folder;
  return (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) == 0 ? Entry::file
                                                                                   : Entry::other;
}

int move_entry(const std::string& from, const std::string& to) {
  return MoveFileExW(wide(from).c_str(), wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? 0
             : static_cast<int>(GetLastError());
}

void remove_entry(const std::string& path) noexcept {
  const std::wstring name = wide(path);
  if (DeleteFileW(name.c_str()) || GetLastError() != ERROR_ACCESS_DENIED) return;
  // A read-only file is removed all the same: it is the program's own.
  SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(name.c_str());
}

std::string system_reason(int error) { return win::reason(static_cast<DWORD>(error)); }

}  // namespace detail

// ---- The result file.

void OutputFile::open() {
  if (std::wstring check; !win::to_wide(name_, check))
    fail("{}: cannot create: {}", ERROR_NO_UNICODE_TRANSLATION);
  detail::watch_interrupts();
  // A read-only file is one the user means to keep: the run stops before
  // anything is written.
  const DWORD attributes = GetFileAttributesW(wide(name_).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
      (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    throw RunError(tr("{}: cannot replace: the file is read-only", {name_}));
  index_ = set_->enlist(*this);

  // Opened sharing deletion, so that the interrupt handler can delete it
  // while open; it goes when the ending process closes it.
  const detail::InterruptsHeld held;  // the handler knows it as soon as it exists
  const std::string name = detail::folder_of(name_) + detail::new_name(set_->token_, index_);
  const std::wstring hidden = wide(name);
  const HANDLE file = CreateFileW(hidden.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (file == INVALID_HANDLE_VALUE) fail("{}: cannot create: {}", static_cast<int>(GetLastError()));
  handle_ = reinterpret_cast<std::intptr_t>(file);
  temporary_ = name;
  detail::remember_temporary(hidden);
}

void OutputFile::write(const char* data, std::size_t size) {
  const HANDLE file = as_handle(handle_);
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
  const HANDLE file = as_handle(handle_);
  if (!FlushFileBuffers(file)) fail("{}: cannot write: {}", static_cast<int>(GetLastError()));
  handle_ = -1;
  if (!CloseHandle(file)) fail("{}: cannot write: {}", static_cast<int>(GetLastError()));
  finished_ = true;
}

void OutputFile::prepare() {
  // The file takes the place of the real one visible, as the older was.
  SetFileAttributesW(wide(temporary_).c_str(), FILE_ATTRIBUTE_NORMAL);
}

void OutputFile::fail(std::string_view what, int error) {
  discard();
  throw RunError(tr(what, {name_, win::reason(static_cast<DWORD>(error))}));
}

void OutputFile::discard() noexcept {
  if (handle_ != -1) CloseHandle(as_handle(handle_));
  handle_ = -1;
  if (!temporary_.empty()) {
    const std::wstring hidden = wide(temporary_);
    DeleteFileW(hidden.c_str());
    detail::forget_temporary(hidden);
  }
  temporary_.clear();
}

}  // namespace rt
