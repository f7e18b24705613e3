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

// The C library's text for an errno value, in the user's language where the
// catalogue has it (the common reasons a file cannot be read or written).
std::string errno_reason(int error);

}  // namespace rt
