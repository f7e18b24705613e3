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
// to standard error, in the character set the user reads: a Windows console
// gets them as UTF-16, so that accented letters show whatever its code page,
// and a Windows file or pipe the UTF-8 bytes; on POSIX they are written in
// the locale's character set (see terminal_charset). print_output_text
// returns false when standard output could not take the text, after saying
// why on standard error: the caller must not report success.
[[nodiscard]] bool print_output_text(std::string_view text);
void print_error_line(std::string_view line);

// Whether the program was started from the desktop rather than from a
// command prompt: in Windows, by a double-click or a file dropped on the
// .exe, when Explorer opens a console window for the program alone and
// closes it as the program ends. Never on POSIX.
bool started_from_desktop();

// After an error: when started from the desktop, asks for Enter and waits
// for it, so that the error can be read before the window closes.
void hold_console_window();

#ifndef _WIN32
// The character set of the user's terminal, from the first of LC_ALL,
// LC_CTYPE and LANG that is set: the one the value names
// ("pt_BR.ISO-8859-1"), or for a value that names none ("pt_BR") the one
// its installed locale has. Empty for UTF-8, for "C" and "POSIX", and when
// nothing says: text is then written as it is, in UTF-8.
std::string terminal_charset();

// UTF-8 text in that character set. A character the set lacks is
// transliterated ("€" as "EUR") or else shown as '?', as is a byte that is
// not UTF-8: nothing is dropped without a trace.
std::string in_charset(std::string_view utf8, const std::string& charset);
#endif

}  // namespace rt
