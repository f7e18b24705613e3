#pragma once
// The programs' edge with the console: the arguments they were started
// with, the lines they write, and the window they may have been given.

#include <string>
#include <string_view>
#include <vector>

namespace rt {

// The arguments after the program name, as UTF-8. On Windows they are taken
// from the wide command line, so that any name (a file dropped on the .exe)
// arrives whole, whatever the code page.
std::vector<std::string> command_arguments(int argc, char** argv);

// Writes text (UTF-8, lines ended by '\n') to standard output, and one line
// to standard error. A Windows console gets them as UTF-16, so that accented
// letters show whatever its code page; a file or a pipe gets the UTF-8 bytes.
void print_output_text(std::string_view text);
void print_error_line(std::string_view line);

// After an error: when the console window was opened for this program alone
// (a double-click or a file dropped on the .exe in Windows, which closes the
// window as the program ends), asks for Enter and waits for it, so that the
// error can be read. From a command prompt, and on POSIX, does nothing.
void hold_console_window();

}  // namespace rt
