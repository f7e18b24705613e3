// Result files put in place together, and the work of a run killed
// half-way finished by the next: the same on every system, over what
// output_file_posix.cpp and output_file_windows.cpp provide.

#include <chrono>
#include <random>
#include <set>
#include <stdexcept>
#include <thread>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/run_error.hpp"

namespace rt {
namespace {

using detail::Entry;
using detail::Try;

// A set is put in place in milliseconds; a folder held for this long is
// held by a run that is stuck, and waiting on would hang this one.
constexpr int kLockWaitSeconds = 30;

// 16 hexadecimal digits, from the system's random source where there is
// one, mixed with the clock and a count (splitmix64), so that two runs in
// one folder, even on two machines, do not pick the same.
std::string new_token() {
  static std::uint64_t state = [] {
    std::uint64_t seed = static_cast<std::uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    try {
      std::random_device source;
      seed ^= (std::uint64_t{source()} << 32) ^ source();
    } catch (const std::exception&) {
      // No random source: the clock alone.
    }
    return seed;
  }();
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  z ^= z >> 31;
  std::string token(detail::kTokenLength, '0');
  for (char& c : token) {
    c = "0123456789abcdef"[z & 15];
    z >>= 4;
  }
  return token;
}

// The folder's lock for as long as it lives, waited for up to the bound;
// where the folder cannot be locked, nothing. Past the bound it throws,
// naming `shown`, or with `shown` empty leaves the folder unlocked and
// busy() true.
class FolderLock {
 public:
  FolderLock(const std::string& folder, const std::string& shown) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(kLockWaitSeconds);
    for (;;) {
      const Try got = detail::try_lock_folder(folder, handle_);
      if (got == Try::done) return;
      handle_ = -1;
      if (got == Try::refused) return;
      if (std::chrono::steady_clock::now() > until) {
        busy_ = true;
        if (shown.empty()) return;
        throw RunError(tr("{}: another run has been putting its results in this folder for {} s",
                          {shown, std::to_string(kLockWaitSeconds)}));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~FolderLock() {
    if (handle_ != -1) detail::unlock_folder(handle_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool busy() const { return busy_; }

 private:
  detail::Handle handle_ = -1;
  bool busy_ = false;
};

bool movable(Entry kind) { return kind == Entry::file || kind == Entry::other; }

// Finishes, in the folder, the work of every run that died with its journal
// (the folder's lock held, the interrupts too): one that died before its
// older files were all aside gets them back and loses its new files; one
// that died after gets its new files put in and its older ones removed.
// Throws, naming the file, when a file cannot be moved; the journal is then
// kept for a later run.
void finish_dead_runs(const std::string& folder) {
  for (const std::string& name : detail::journal_names(folder)) {
    const std::optional<std::string> token = detail::journal_token(name);
    if (!token) continue;
    const std::string path = folder + name;
    detail::Handle journal = -1;
    std::string text;
    if (detail::open_abandoned_journal(path, journal, text) != Try::done) continue;
    const std::optional<detail::Journal> parsed = detail::parse_journal(text);
    if (!parsed) {
      detail::drop_journal(journal);
      continue;
    }
    std::string failed;
    int failure = 0;
    const auto move = [&](const std::string& from, const std::string& to) {
      const int error = detail::move_entry(from, to);
      if (error != 0 && failed.empty()) failed = to, failure = error;
    };
    for (std::size_t i = 0; i < parsed->names.size(); ++i) {
      const std::string target = folder + parsed->names[i];
      const std::string fresh = folder + detail::new_name(*token, i);
      const std::string aside = folder + detail::old_name(*token, i);
      if (parsed->redo) {
        if (detail::entry_kind(fresh) == Entry::file) move(fresh, target);
      } else {
        if (movable(detail::entry_kind(aside))) move(aside, target);
        if (detail::entry_kind(fresh) == Entry::file) detail::remove_entry(fresh);
      }
    }
    if (!failed.empty()) {
      detail::drop_journal(journal);
      throw RunError(tr("{}: cannot finish what a stopped run left: {}",
                        {failed, detail::system_reason(failure)}));
    }
    for (std::size_t i = 0; parsed->redo && i < parsed->names.size(); ++i) {
      const std::string aside = folder + detail::old_name(*token, i);
      if (movable(detail::entry_kind(aside))) detail::remove_entry(aside);
    }
    detail::end_journal(journal, path);
  }
}

}  // namespace

// ---- A result file's life, the same everywhere.

OutputFile::OutputFile(std::string name)
    : own_(std::make_unique<OutputSet>(detail::folder_of(name))),
      set_(own_.get()),
      name_(std::move(name)) {
  start();
}

OutputFile::OutputFile(OutputSet& set, std::string name) : set_(&set), name_(std::move(name)) {
  start();
}

void OutputFile::start() {
  try {
    detail::refuse_hidden_name(name_);
    open();
  } catch (...) {
    discard();
    set_->leave(*this);
    throw;
  }
}

OutputFile::~OutputFile() {
  discard();
  if (set_ != nullptr) set_->leave(*this);
}

void OutputFile::commit() {
  if (!own_) throw std::logic_error("a file of a set is put in place by its set");
  finish();
  own_->commit();
}

// ---- The set.

OutputSet::OutputSet(std::string folder) : folder_(std::move(folder)) {
  detail::watch_interrupts();
  // Once per folder; every set put in place finishes them again first,
  // which is also when a folder held too long now is one too many.
  static std::set<std::string> done;
  if (!done.insert(folder_).second) return;
  const FolderLock lock(folder_, {});
  if (lock.busy()) return;
  const detail::InterruptsHeld held;
  finish_dead_runs(folder_);
}

OutputSet::~OutputSet() {
  for (OutputFile* file : files_) {
    if (file == nullptr) continue;
    file->discard();
    file->set_ = nullptr;
  }
  if (journal_ == -1) return;
  const std::string path = hidden(detail::journal_name(token_));
  if (keep_journal_) {
    detail::drop_journal(journal_);
  } else {
    detail::end_journal(journal_, path);
  }
  detail::forget_temporary(detail::system_name(path));
}

std::size_t OutputSet::enlist(OutputFile& file) {
  if (detail::folder_of(file.name_) != folder_ || committed_ || files_.size() == detail::kMostFiles)
    throw std::logic_error("a set's files share its folder, and it has room for 64");
  const std::size_t index = files_.size();
  const std::string entry = detail::journal_entry(index, file.name_.substr(folder_.size()));
  int error = 0;
  if (journal_ == -1) {
    const std::string text =
        std::string(detail::kJournalHead) + std::string(detail::kUndo) + "\n" + entry;
    // No interrupt between the journal's making and its handler's knowing.
    const detail::InterruptsHeld held;
    for (int attempt = 0;; ++attempt) {
      token_ = new_token();
      const Try made = detail::create_journal(hidden(detail::journal_name(token_)), text,
                                              journal_, error);
      if (made == Try::done) break;
      journal_ = -1;
      if (made == Try::refused || attempt > 100) file.fail("{}: cannot create: {}", error);
    }
    detail::remember_temporary(detail::system_name(hidden(detail::journal_name(token_))), true);
    journal_size_ = text.size();
  } else {
    if (!detail::write_journal(journal_, journal_size_, entry, false, error))
      file.fail("{}: cannot create: {}", error);
    journal_size_ += entry.size();
  }
  files_.push_back(&file);
  return index;
}

void OutputSet::leave(OutputFile& file) noexcept {
  for (OutputFile*& member : files_)
    if (member == &file) member = nullptr;
}

void OutputSet::commit() {
  if (committed_) throw std::logic_error("a set is put in place once");
  if (journal_ == -1) {  // no file
    committed_ = true;
    return;
  }
  for (OutputFile* file : files_)
    if (file != nullptr && !file->finished_)
      throw std::logic_error("every file of a set is finished before the set is put in place");
  for (OutputFile* file : files_)
    if (file != nullptr) file->prepare();

  std::string first = folder_.empty() ? "." : folder_;  // no file left: the folder
  for (OutputFile* file : files_)
    if (file != nullptr) {
      first = file->name_;
      break;
    }
  const FolderLock lock(folder_, first);
  // From here on an interrupt waits until the set is whole, old or new.
  const detail::InterruptsHeld held;
  finish_dead_runs(folder_);

  // Every older file aside; whatever stops one puts the others back.
  std::vector<bool> aside(files_.size());
  const auto put_back = [&] {
    for (std::size_t i = 0; i < files_.size(); ++i) {
      if (!aside[i]) continue;
      if (detail::move_entry(hidden(detail::old_name(token_, i)), files_[i]->name_) != 0)
        keep_journal();  // it puts the file back later
    }
  };
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (files_[i] == nullptr) continue;
    const std::string& name = files_[i]->name_;
    const Entry kind = detail::entry_kind(name);
    if (kind == Entry::none) continue;
    const int error = kind == Entry::folder
                          ? 0
                          : detail::move_entry(name, hidden(detail::old_name(token_, i)));
    if (kind == Entry::folder || error != 0) {
      put_back();
      if (kind == Entry::folder) throw RunError(tr("{}: cannot replace: it is a folder", {name}));
      throw RunError(tr("{}: cannot replace: {}", {name, detail::system_reason(error)}));
    }
    aside[i] = true;
  }

  // The journal says so, on the disk before any new file moves in: from
  // here on a run that dies is finished forward.
  if (int error = 0; !detail::write_journal(journal_, detail::kStateOffset, detail::kRedo, true,
                                            error)) {
    // Whatever of it reached the disk, it says "undo" again: the new files
    // are about to go.
    (void)detail::write_journal(journal_, detail::kStateOffset, detail::kUndo, true, error);
    put_back();
    throw RunError(tr("{}: cannot replace: {}", {first, detail::system_reason(error)}));
  }
  std::string failed;
  int failure = 0;
  for (OutputFile* file : files_) {
    if (file == nullptr) continue;
    if (const int error = detail::move_entry(file->temporary_, file->name_); error != 0) {
      if (failed.empty()) failed = file->name_, failure = error;
      continue;
    }
    detail::forget_temporary(detail::system_name(file->temporary_));
    file->temporary_.clear();
  }
  if (!failed.empty()) {
    // Past the point of no return: what is left is the next run's to
    // finish, the new files kept under their hidden names.
    keep_journal();
    for (OutputFile* file : files_)
      if (file != nullptr && !file->temporary_.empty()) {
        detail::forget_temporary(detail::system_name(file->temporary_));
        file->temporary_.clear();
      }
    throw RunError(tr("{}: cannot replace: {}", {failed, detail::system_reason(failure)}));
  }
  for (std::size_t i = 0; i < files_.size(); ++i) {
    if (!aside[i]) continue;
    const std::string older = hidden(detail::old_name(token_, i));
    detail::remove_entry(older);
    if (detail::entry_kind(older) != Entry::none) keep_journal();
  }
  committed_ = true;
  const std::string path = hidden(detail::journal_name(token_));
  detail::forget_temporary(detail::system_name(path));
  if (keep_journal_) {
    detail::drop_journal(journal_);
  } else {
    detail::end_journal(journal_, path);
  }
  journal_ = -1;
}

void OutputSet::keep_journal() {
  keep_journal_ = true;
  detail::forget_temporary(detail::system_name(hidden(detail::journal_name(token_))));
}

}  // namespace rt
