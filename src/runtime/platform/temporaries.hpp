#pragma once
// Inside the runtime layer: the hidden files of a set of result files, and
// what each system provides for them. The set's logic (output_file_set.cpp)
// is the same everywhere; output_file_posix.cpp and output_file_windows.cpp
// give it files, locks and renames, process_*.cpp the interrupt handlers.
//
// A set writes its files under hidden names beside their real ones and
// replaces the older files all together. Every hidden name of a set comes
// from one random token: the journal ".arrasto-TOKEN.journal", the new files
// ".arrasto-TOKEN-I.new" and the older files moved aside while the set is
// put in place, ".arrasto-TOKEN-I.old" (I the file's place in the set). The
// journal lists the set's real names before any other hidden name exists,
// and says how far the set got; its run holds it locked while it lives, so
// that a later run can tell a journal left by a run that was killed, and
// finish that run's work from it: put the older files back, or the new ones
// in. Nothing else of a folder is ever touched as a hidden file.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/platform/messages.hpp"
#include "runtime/run_error.hpp"

namespace rt::detail {

// The prefix of every hidden name of the program; no result file may begin
// with it.
inline constexpr std::string_view kHiddenPrefix = ".arrasto";

inline std::string journal_name(std::string_view token) {
  return ".arrasto-" + std::string(token) + ".journal";
}
inline std::string new_name(std::string_view token, std::size_t index) {
  return ".arrasto-" + std::string(token) + "-" + std::to_string(index) + ".new";
}
inline std::string old_name(std::string_view token, std::size_t index) {
  return ".arrasto-" + std::string(token) + "-" + std::to_string(index) + ".old";
}

// Tokens are 16 lower-case hexadecimal digits.
inline constexpr std::size_t kTokenLength = 16;

// The token of a journal's name; nothing for any other name.
inline std::optional<std::string> journal_token(std::string_view name) {
  constexpr std::string_view kStart = ".arrasto-", kEnd = ".journal";
  if (name.size() != kStart.size() + kTokenLength + kEnd.size() || !name.starts_with(kStart) ||
      !name.ends_with(kEnd))
    return std::nullopt;
  const std::string_view token = name.substr(kStart.size(), kTokenLength);
  for (const char c : token)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
  return std::string(token);
}

// The folder part of a file name, for the hidden files beside it: "" for a
// name in the working folder, else everything up to the last separator,
// which it keeps ("out/" for "out/x").
inline std::string folder_of(const std::string& name) {
#ifdef _WIN32
  const std::size_t cut = name.find_last_of("/\\");
#else
  const std::size_t cut = name.find_last_of('/');
#endif
  return cut == std::string::npos ? std::string() : name.substr(0, cut + 1);
}

// Refuses to make a file whose name is one of the program's hidden names,
// which a later run's clean-up could take for its own.
inline void refuse_hidden_name(const std::string& name) {
  if (std::string_view(name).substr(folder_of(name).size()).starts_with(kHiddenPrefix))
    throw RunError(tr("{}: cannot create: names beginning with \".arrasto\" are kept for the "
                      "program's hidden files",
                      {name}));
}

// The journal's text:
//
//   arrasto journal\n
//   undo\n                      "redo" once every older file is aside
//   0 14 Curva1_foguete\n       per file: its place, its name's length in
//   ...                         bytes, its name in its folder (UTF-8)
//
// "undo": a run that died left its older files to be put back and its new
// ones to be removed; "redo": its new files to be put in place and the
// older ones removed. The state is rewritten in place, four bytes at a
// fixed offset, so that the journal is always one or the other.
inline constexpr std::string_view kJournalHead = "arrasto journal\n";
inline constexpr std::string_view kUndo = "undo", kRedo = "redo";
inline constexpr std::size_t kStateOffset = kJournalHead.size();
inline constexpr std::size_t kMostFiles = 64, kLongestName = 4096;
inline constexpr std::size_t kLongestJournal = 1 << 16;

inline std::string journal_entry(std::size_t index, std::string_view name) {
  return std::to_string(index) + " " + std::to_string(name.size()) + " " + std::string(name) + "\n";
}

struct Journal {
  bool redo = false;
  std::vector<std::string> names;
};

// Reads a journal strictly: anything else in it (a torn or foreign file, a
// name that would reach outside the folder or onto a hidden name) and it
// is left alone.
inline std::optional<Journal> parse_journal(std::string_view text) {
  if (!text.starts_with(kJournalHead)) return std::nullopt;
  text.remove_prefix(kJournalHead.size());
  Journal journal;
  if (text.starts_with(std::string(kRedo) + "\n"))
    journal.redo = true;
  else if (!text.starts_with(std::string(kUndo) + "\n"))
    return std::nullopt;
  text.remove_prefix(kUndo.size() + 1);
  // A number of up to four digits, without a leading zero, then a blank.
  const auto number = [&text](std::size_t& value) {
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' && digits < 5)
      value = value * 10 + static_cast<std::size_t>(text[digits++] - '0');
    if (digits == 0 || digits > 4 || (digits > 1 && text[0] == '0') || digits == text.size() ||
        text[digits] != ' ')
      return false;
    text.remove_prefix(digits + 1);
    return true;
  };
  while (!text.empty()) {
    std::size_t index = 0, length = 0;
    if (journal.names.size() == kMostFiles || !number(index) || index != journal.names.size() ||
        !number(length) || length == 0 || length > kLongestName || text.size() <= length ||
        text[length] != '\n')
      return std::nullopt;
    const std::string name(text.substr(0, length));
    if (name == "." || name == ".." || name.find('\0') != std::string::npos ||
        !folder_of(name).empty() || name.starts_with(kHiddenPrefix))
      return std::nullopt;
    journal.names.push_back(name);
    text.remove_prefix(length + 1);
  }
  return journal;
}

// ---- What each system provides (output_file_posix.cpp, output_file_windows.cpp).

// Names as the system takes them.
#ifdef _WIN32
using SystemName = std::wstring;
#else
using SystemName = std::string;
#endif

// A UTF-8 name as the system takes it.
SystemName system_name(const std::string& name);

// An open file or lock of the system's; -1 for none.
using Handle = std::intptr_t;

enum class Try { done, busy, refused };

// The folder's lock, which one run at a time holds while it puts a set in
// place or finishes a dead run's work: done, busy (another run holds it),
// or refused (this folder cannot be locked; the set goes on without).
Try try_lock_folder(const std::string& folder, Handle& lock);
void unlock_folder(Handle lock) noexcept;

// Creates the journal at path, holding its lock, with the given text:
// done, busy (the name exists), or refused with the system's error.
Try create_journal(const std::string& path, std::string_view text, Handle& journal, int& error);
// Writes text at offset, and with sync puts it on the disk before it returns.
bool write_journal(Handle journal, std::uint64_t offset, std::string_view text, bool sync,
                   int& error);
// Removes the journal, then lets it go.
void end_journal(Handle journal, const std::string& path) noexcept;
// Lets the journal go, left as it is for a later run.
void drop_journal(Handle journal) noexcept;

// The names of the folder's journals.
std::vector<std::string> journal_names(const std::string& folder);
// Opens a journal that no living run holds, taking its lock, and reads it:
// done, busy (its run is alive, or it cannot be told), or refused (not a
// regular file, gone, unreadable).
Try open_abandoned_journal(const std::string& path, Handle& journal, std::string& text);

enum class Entry { none, file, folder, other };
// What a name is, not following a link.
Entry entry_kind(const std::string& path);
// Renames from over to (replacing a file there); 0 or the system's error.
int move_entry(const std::string& from, const std::string& to);
// Removes a name that is not a folder (a link itself, not what it names).
void remove_entry(const std::string& path) noexcept;
// The system's reason for an error, one line in the user's language.
std::string system_reason(int error);

// ---- The interrupt handlers (process_posix.cpp, process_windows.cpp).

// Installs, once, what ends a run on the user's interrupt or a hang-up with
// its hidden files removed.
void watch_interrupts();

// While a hidden file has a name, the interrupt handlers remove it; the
// journals last, after every other.
void remember_temporary(const SystemName& name, bool journal = false);
void forget_temporary(const SystemName& name);

// Removes every remembered hidden file; safe in a signal handler.
void remove_temporaries() noexcept;

// While held, no interrupt ends the process: one that comes waits until
// the last hold is released (on POSIX SIGINT, SIGTERM, SIGHUP and SIGQUIT
// are blocked; on Windows the console handler waits). Only the main thread
// holds them; the writer threads never take them (keep_interrupts_off_this_thread).
void hold_interrupts();
void release_interrupts() noexcept;
struct InterruptsHeld {
  InterruptsHeld() { hold_interrupts(); }
  ~InterruptsHeld() { release_interrupts(); }
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

}  // namespace rt::detail
