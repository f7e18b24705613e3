// The Windows side of the runtime layer. Names arrive as UTF-8 and reach
// the system as UTF-16 through the wide-character API, so that a name like
// "Curva_trajetória_x" is the same name in Explorer, in Notepad and here.

#include <algorithm>
#include <climits>
#include <string>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/windows_text.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace win {

bool to_wide(const std::string& utf8, std::wstring& out) {
  out.clear();
  if (utf8.empty()) return true;
  if (utf8.size() > static_cast<std::size_t>(INT_MAX)) return false;
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
  if (n <= 0) return false;
  out.resize(static_cast<std::size_t>(n));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, out.data(), n) == n;
}

std::string to_utf8(const std::wstring& wide) {
  if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return {};
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

std::string reason(DWORD error) { return system_reason(error); }

}  // namespace win

namespace {

using win::reason;
using win::to_utf8;
using win::to_wide;

// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Device names that Windows opens as devices in every folder, with or
// without an extension ("NUL.txt" is the null device too). The superscript
// digits count as digits here, as Windows has them.
bool is_device_name(std::u32string_view name) {
  std::u32string_view stem = name.substr(0, name.find(U'.'));
  while (!stem.empty() && stem.back() == U' ') stem.remove_suffix(1);
  std::u32string upper(stem);
  for (char32_t& c : upper)
    if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
  if (upper == U"CON" || upper == U"PRN" || upper == U"AUX" || upper == U"NUL" ||
      upper == U"CONIN$" || upper == U"CONOUT$")
    return true;
  if (upper.size() == 4 && (upper.starts_with(U"COM") || upper.starts_with(U"LPT"))) {
    const char32_t digit = upper[3];
    return (digit >= U'0' && digit <= U'9') || digit == U'\u00B9' || digit == U'\u00B2' ||
           digit == U'\u00B3';
  }
  return false;
}

}  // namespace

std::string_view line_end() { return "\r\n"; }

std::string platform_name_fault(std::u32string_view name) {
  for (const char32_t c : name) {
    switch (c) {
      case U'<': return tr("holds a '{}'", {"<"});
      case U'>': return tr("holds a '{}'", {">"});
      case U':': return tr("holds a '{}'", {":"});
      case U'"': return tr("holds a '{}'", {"\""});
      case U'|': return tr("holds a '{}'", {"|"});
      case U'?': return tr("holds a '{}'", {"?"});
      case U'*': return tr("holds a '{}'", {"*"});
      default: break;
    }
  }
  // Windows drops a trailing dot or blank from a name, so the file would
  // land under another name than the one asked for.
  if (!name.empty() && name.back() == U'.') return tr("ends in a '.'");
  if (!name.empty() && name.back() == U' ') return tr("ends in a blank");
  if (is_device_name(name)) return tr("is a device name on Windows");
  return {};
}

InputFile::InputFile(const std::string& name) : name_(name) {
  std::wstring path;
  if (!to_wide(name, path))
    throw RunError(tr("{}: cannot open: {}", {name, reason(ERROR_NO_UNICODE_TRANSLATION)}));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // Opening a folder as a file is refused as "access denied"; say what it is.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      throw RunError(tr("{}: cannot read: it is a folder", {name}));
    const std::string message = tr("{}: cannot open: {}", {name, reason(error)});
    if (error == ERROR_FILE_NOT_FOUND) throw MissingFile(message, name);
    throw RunError(message);
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    throw RunError(tr("{}: cannot read: not a regular file", {name}));
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

InputFile::~InputFile() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  const DWORD room = static_cast<DWORD>(std::min<std::size_t>(size, std::size_t{1} << 30));
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, room, &got, nullptr))
    throw RunError(tr("{}: cannot read: {}", {name_, reason(GetLastError())}));
  return got;
}

std::optional<FileId> file_identity(const std::string& name) {
  std::wstring path;
  if (!to_wide(name, path)) return std::nullopt;
  // No access asked: only the file's attributes are read. The backup flag
  // lets a folder be opened too.
  const Handle file(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool is_folder(const std::string& name) {
  std::wstring path;
  if (!to_wide(name, path)) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FileKind file_kind(const std::string& name) {
  std::wstring path;
  if (!to_wide(name, path)) return FileKind::none;
  // Opened for no access, the link itself rather than what it points to;
  // the backup flag lets a folder be opened too. A device name ("NUL")
  // opens as a character device.
  const Handle file(CreateFileW(path.c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) return FileKind::none;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(file.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.get(), &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return FileKind::other;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::folder
                                                                 : FileKind::regular;
}

std::optional<std::uint64_t> free_space(const std::string& folder) {
  std::wstring path;
  if (!to_wide(folder.empty() ? std::string(".\\") : folder, path)) return std::nullopt;
  ULARGE_INTEGER available{}, total{};
  if (!GetDiskFreeSpaceExW(path.c_str(), &available, &total, nullptr) || total.QuadPart == 0)
    return std::nullopt;
  return available.QuadPart;
}

bool same_spelling(const std::string& a, const std::string& b) {
  std::wstring wa, wb;
  if (!to_wide(a, wa) || !to_wide(b, wb) || wa.size() > static_cast<std::size_t>(INT_MAX) ||
      wb.size() > static_cast<std::size_t>(INT_MAX))
    return a == b;
  // Ordinal and ignoring case, the way NTFS compares names.
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(),
                              static_cast<int>(wb.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace rt
