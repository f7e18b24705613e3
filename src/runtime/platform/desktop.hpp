#pragma once
// The programs as a Windows user meets them without a command prompt:
// started by a double-click, or by files dropped on the .exe, in a console
// window of their own (rt::started_from_desktop, in console.hpp), and
// showing what they made in the system's viewer.

#include <string>

namespace rt {

// Opens the file (UTF-8 name) in the program the system associates with
// its kind, the user's browser or picture viewer for an SVG picture, and
// returns without waiting for it to close; false when nothing could be
// started. On POSIX nothing is opened: false.
bool open_in_viewer(const std::string& file);

}  // namespace rt
