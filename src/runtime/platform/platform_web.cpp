// The browser side of the runtime layer (WebAssembly, built with
// emscripten). A page has no folder and no editor: the files live in the
// page's memory, in the Map `Module.files` (name -> {parts, size}) that
// whoever runs the module fills beforehand, and the editor runs become
// calls of `Module.onEditor(name)`, so that the page can show each file as
// the console program would open it. The bytes written are those of the
// Windows program: CR LF line ends, and names that Windows would take.
//
// Result files are copied out of the module's memory as the runtime hands
// over its buffers, so that the module's memory does not grow with the
// files, into pieces of a megabyte filled one after the other. The pieces
// come from `Module.chunks`, those of files the page no longer needs, which
// it hands back for the next run: memory the browser has already given is
// filled again rather than asked for anew, which is most of the cost of
// holding a large run's files. A file replaced, or never committed, gives
// its pieces back there too. `Module.onWrite(bytes)` tells the page how far
// a run has got.

#include <emscripten.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <stdexcept>

#include "runtime/platform/messages.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/run_error.hpp"

// clang-format off
EM_JS(void, web_files_ready, (), {
  Module.files = Module.files || new Map();
  Module.handles = Module.handles || [];
  Module.nextFileId = Module.nextFileId || 0;
  Module.chunks = Module.chunks || [];
});

EM_JS(double, web_file_id, (const char* name), {
  web_files_ready();
  const file = Module.files.get(UTF8ToString(name));
  if (!file) return -1;
  if (!file.id) file.id = ++Module.nextFileId;
  return file.id;
});

EM_JS(int, web_is_folder, (const char* name), {
  web_files_ready();
  const prefix = UTF8ToString(name) + "/";
  for (const key of Module.files.keys()) if (key.startsWith(prefix)) return 1;
  return 0;
});

EM_JS(int, web_open, (const char* name), {
  web_files_ready();
  const file = Module.files.get(UTF8ToString(name));
  if (!file) return -1;
  Module.handles.push({parts: file.parts, part: 0, at: 0});
  return Module.handles.length - 1;
});

EM_JS(int, web_read, (int handle, char* buffer, int size), {
  const reader = Module.handles[handle];
  let n = 0;
  while (n < size && reader.part < reader.parts.length) {
    const part = reader.parts[reader.part];
    const k = Math.min(size - n, part.length - reader.at);
    HEAPU8.set(part.subarray(reader.at, reader.at + k), buffer + n);
    n += k;
    reader.at += k;
    if (reader.at === part.length) reader.part++, reader.at = 0;
  }
  return n;
});

EM_JS(int, web_create, (), {
  web_files_ready();
  Module.handles.push({chunks: [], size: 0});
  return Module.handles.length - 1;
});

EM_JS(void, web_write, (int handle, const char* data, int size), {
  const writer = Module.handles[handle];
  const piece = 1 << 20;
  for (let from = data, end = data + size; from < end;) {
    const at = writer.size % piece;
    if (at === 0) writer.chunks.push(Module.chunks.pop() || new Uint8Array(piece));
    const n = Math.min(piece - at, end - from);
    writer.chunks[writer.chunks.length - 1].set(HEAPU8.subarray(from, from + n), at);
    from += n;
    writer.size += n;
  }
  if (Module.onWrite) Module.onWrite(size);
});

EM_JS(void, web_commit, (int handle, const char* name), {
  const writer = Module.handles[handle];
  const key = UTF8ToString(name);
  const older = Module.files.get(key);
  if (older && older.chunks) Module.chunks.push(...older.chunks);
  const parts = writer.chunks.map((chunk, i) => chunk.subarray(0, Math.min(chunk.length, writer.size - i * chunk.length)));
  Module.files.set(key, {parts, size: writer.size, id: ++Module.nextFileId, chunks: writer.chunks});
  writer.chunks = [];
});

EM_JS(void, web_close, (int handle), {
  const handler = Module.handles[handle];
  if (handler && handler.chunks) Module.chunks.push(...handler.chunks);
  Module.handles[handle] = null;
});

EM_JS(void, web_show, (const char* name), {
  if (Module.onEditor) Module.onEditor(UTF8ToString(name));
});
// clang-format on

namespace rt {

std::string_view line_end() { return "\r\n"; }

// The files go to the user's disk as downloads, on Windows as often as
// not: a name must be one that Windows takes as it is.
std::string platform_name_fault(std::u32string_view name) {
  for (const char32_t c : name) {
    if (std::u32string_view(U"<>:\"|?*").find(c) != std::u32string_view::npos) {
      const char ascii[2] = {static_cast<char>(c), '\0'};
      return tr("holds a '{}'", {ascii});
    }
  }
  if (!name.empty() && name.back() == U'.') return tr("ends in a '.'");
  if (!name.empty() && name.back() == U' ') return tr("ends in a blank");
  return {};
}

InputFile::InputFile(const std::string& name) : name_(name) {
  if (web_is_folder(name.c_str())) throw RunError(tr("{}: cannot read: it is a folder", {name}));
  handle_ = web_open(name.c_str());
  if (handle_ < 0) throw MissingFile(tr("{}: cannot open: {}", {name, errno_reason(ENOENT)}), name);
}

InputFile::~InputFile() {
  if (handle_ >= 0) web_close(static_cast<int>(handle_));
}

std::size_t InputFile::read(char* buffer, std::size_t size) {
  return static_cast<std::size_t>(
      web_read(static_cast<int>(handle_), buffer, static_cast<int>(size < (1u << 30) ? size : 1u << 30)));
}

std::optional<FileId> file_identity(const std::string& name) {
  const double id = web_file_id(name.c_str());
  if (id < 0) return std::nullopt;
  return FileId{1, static_cast<std::uint64_t>(id)};
}

bool is_folder(const std::string& name) { return web_is_folder(name.c_str()) != 0; }

// The page's files are plain files, and the folders only the prefixes of
// their names.
FileKind file_kind(const std::string& name) {
  if (web_file_id(name.c_str()) >= 0) return FileKind::regular;
  return is_folder(name) ? FileKind::folder : FileKind::none;
}

bool same_spelling(const std::string& a, const std::string& b) { return a == b; }

// ---- Result files.
//
// A folder of the page's memory holds one run at a time, and JavaScript
// does one thing at a time: a set's files go into the Map one after the
// other with nothing in between that could see half a set, and no other
// run can be putting its files there. So there is no journal, no lock and
// nothing a killed run could leave half done; a run that fails, or whose
// worker is ended, leaves the older files as they were.

OutputFile::OutputFile(std::string name)
    : own_(std::make_unique<OutputSet>(detail::folder_of(name))), set_(own_.get()), name_(std::move(name)) {
  start();
}

OutputFile::OutputFile(OutputSet& set, std::string name) : set_(&set), name_(std::move(name)) {
  start();
}

void OutputFile::start() {
  detail::refuse_hidden_name(name_);
  open();
}

void OutputFile::open() {
  if (is_folder(name_)) throw RunError(tr("{}: cannot create: {}", {name_, errno_reason(EISDIR)}));
  handle_ = web_create();
  index_ = set_->enlist(*this);
}

OutputFile::~OutputFile() {
  discard();
  if (set_ != nullptr) set_->leave(*this);
}

void OutputFile::write(const char* data, std::size_t size) {
  written_ += size;
  while (size > 0) {
    const std::size_t piece = size < (1u << 30) ? size : 1u << 30;
    web_write(static_cast<int>(handle_), data, static_cast<int>(piece));
    data += piece;
    size -= piece;
  }
}

void OutputFile::finish() {
  flushed_ = written_;  // every byte is with the page already
  finished_ = true;
}

void OutputFile::prepare() {
  web_commit(static_cast<int>(handle_), name_.c_str());
  discard();
}

void OutputFile::commit() {
  if (!own_) throw std::logic_error("a file of a set is put in place by its set");
  finish();
  own_->commit();
}

void OutputFile::fail(std::string_view what, int error) {
  discard();
  throw RunError(tr(what, {name_, errno_reason(error)}));
}

void OutputFile::discard() noexcept {
  if (handle_ >= 0) web_close(static_cast<int>(handle_));
  handle_ = -1;
}

OutputSet::OutputSet(std::string folder) : folder_(std::move(folder)) {}

OutputSet::~OutputSet() {
  for (OutputFile* file : files_) {
    if (file == nullptr) continue;
    file->discard();
    file->set_ = nullptr;
  }
}

std::size_t OutputSet::enlist(OutputFile& file) {
  if (detail::folder_of(file.name_) != folder_ || committed_)
    throw std::logic_error("a set's files share its folder");
  files_.push_back(&file);
  return files_.size() - 1;
}

void OutputSet::leave(OutputFile& file) noexcept {
  for (OutputFile*& member : files_)
    if (member == &file) member = nullptr;
}

void OutputSet::commit() {
  if (committed_) throw std::logic_error("a set is put in place once");
  for (OutputFile* file : files_)
    if (file != nullptr && !file->finished_)
      throw std::logic_error("every file of a set is finished before the set is put in place");
  for (OutputFile* file : files_)
    if (file != nullptr) file->prepare();
  committed_ = true;
}

// The browser does not say how much memory a page may still take.
std::optional<std::uint64_t> free_space(const std::string&) { return std::nullopt; }

// There are no threads (see record_file.cpp) and no signals.
void keep_interrupts_off_this_thread() {}

EditorEnd run_editor(const std::string& file_name) {
  web_show(file_name.c_str());
  return {};
}

// No key of the page interrupts a run (the page stops a run by ending its
// worker), so an editor run never ends in an interrupt.
void stop_interrupted(const EditorEnd&) { std::abort(); }

}  // namespace rt
