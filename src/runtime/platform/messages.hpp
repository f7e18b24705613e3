#pragma once
// Messages for the user in the user's language. Every message is written in
// the code in English, and that English text is the key of its translation
// in the catalogues under po/ (gettext's PO form: po/pt.po holds the
// Portuguese). A message with no translation, or a user whose language has
// no catalogue, gets the English text.
//
// Placeholders are "{}", filled in order by the arguments; a translation
// keeps the same number of them, in the order of its own sentence only as
// far as the arguments allow (they are filled in order).

#include <initializer_list>
#include <string>
#include <string_view>

namespace rt {

// The two-letter code of the user's language ("pt", "en", ...): on POSIX
// from the locale variables (LC_ALL, then LC_MESSAGES, then LANG), on
// Windows the user's interface language. Looked up once per process.
std::string user_language();

// The message in the user's language with its placeholders filled.
std::string tr(std::string_view english, std::initializer_list<std::string_view> arguments = {});

// The same in a given language, for tests and for the catalogue check.
std::string tr_in(std::string_view language, std::string_view english,
                  std::initializer_list<std::string_view> arguments = {});

// Why a file operation failed, from its errno value, in the user's language:
// the program's own text for every reason a file of this program can meet
// (the C libraries word them differently, so their texts are not the key);
// any other value gives "system error N".
std::string errno_reason(int error);
std::string errno_reason_in(std::string_view language, int error);

#ifdef _WIN32
// The same for a Windows system error code (GetLastError); a code the
// program has no text for gives the system's own description, which is in
// the language of the user's Windows.
std::string system_reason(unsigned long error);
std::string system_reason_in(std::string_view language, unsigned long error);
#endif

}  // namespace rt
