#pragma once
// The programs as a Windows user meets them without a command prompt:
// started by a double-click, or by files dropped on the .exe, in a console
// window of their own, and showing what they made in the system's viewer.

#include <string>

namespace rt {

// Whether the program runs in a console window of its own, which Windows
// opened for it (a double-click in Explorer, files dropped on the .exe)
// and closes as it ends. False from a command prompt, and on POSIX.
bool started_from_desktop();

// Opens the file (UTF-8 name) in the program the system associates with
// its kind, the user's browser or picture viewer for an SVG picture, and
// returns without waiting for it to close; false when nothing could be
// started. On POSIX nothing is opened: false.
bool open_in_viewer(const std::string& file);

}  // namespace rt
