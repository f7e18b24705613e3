#pragma once
// Inside the runtime layer: the temporary files of OutputFile, shared by
// the file side and the process side (the interrupt handlers remove them).
//
// A temporary file is named ".arrasto-PID-N.tmp" in its target's folder:
// the dot hides it, and the process ID tells a later run whether the run
// that left it behind is still alive.

#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rt::detail {

inline std::string temporary_name(std::uint64_t process, unsigned number) {
  return ".arrasto-" + std::to_string(process) + "-" + std::to_string(number) + ".tmp";
}

// The process ID in a temporary file's name; nothing for any other name.
inline std::optional<std::uint64_t> temporary_owner(std::string_view name) {
  constexpr std::string_view kStart = ".arrasto-", kEnd = ".tmp";
  if (!name.starts_with(kStart) || !name.ends_with(kEnd)) return std::nullopt;
  name = name.substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash + 1 == name.size()) return std::nullopt;
  std::uint64_t process = 0;
  for (const char c : name.substr(dash + 1))
    if (c < '0' || c > '9') return std::nullopt;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, process);
  if (error != std::errc() || end != name.data() + dash) return std::nullopt;
  return process;
}

// The folder part of a file name, for the temporary beside it: "" for a
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

// Names as the system takes them.
#ifdef _WIN32
using SystemName = std::wstring;
#else
using SystemName = std::string;
#endif

// Installs, once, what ends a run on the user's interrupt or a hang-up with
// its temporaries removed.
void watch_interrupts();

// While a temporary file has a name, the interrupt handlers remove it.
void remember_temporary(const SystemName& name);
void forget_temporary(const SystemName& name);

// Removes every remembered temporary; safe in a signal handler.
void remove_temporaries() noexcept;

}  // namespace rt::detail
