#pragma once
// What differs between systems at the program's edge: how the file names
// given on the command line arrive, and how a message reaches the console.

#include <filesystem>
#include <string_view>
#include <vector>

namespace grafico {

// The file names given after the program name. On Windows they are taken
// from the wide command line, so that any name (a file dropped on the .exe)
// arrives whole, whatever the code page.
std::vector<std::filesystem::path> file_arguments(int argc, char** argv);

// Writes a UTF-8 line and a line end to standard error; on a Windows console
// as wide characters, so that accented names show as they are.
void print_error(std::string_view utf8_line);

// After errors: when the console window was opened for this program alone
// (a file dropped on the .exe in Windows), waits for Enter so that the
// messages can be read before the window closes. Elsewhere does nothing.
void hold_console_after_errors();

}  // namespace grafico
