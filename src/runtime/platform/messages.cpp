#include "runtime/platform/messages.hpp"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace rt {
namespace {

struct Entry {
  std::string_view english;
  std::string_view translated;
};
struct Catalogue {
  std::string_view language;
  const Entry* entries;
  std::size_t size;
};

// The catalogues, generated from po/*.po at build time.
#include "messages_catalogues.inc"

std::string_view lookup(std::string_view language, std::string_view english) {
  for (const Catalogue& catalogue : kCatalogues) {
    if (catalogue.language != language) continue;
    for (std::size_t i = 0; i < catalogue.size; ++i)
      if (catalogue.entries[i].english == english && !catalogue.entries[i].translated.empty())
        return catalogue.entries[i].translated;
  }
  return english;
}

std::string filled(std::string_view text, std::initializer_list<std::string_view> arguments) {
  std::string out;
  out.reserve(text.size() + 64);
  const std::string_view* next = arguments.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != arguments.end()) {
      out += *next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

#ifdef _WIN32

std::string user_language() {
  // The language of the user's Windows interface, not the formats' locale.
  switch (PRIMARYLANGID(GetUserDefaultUILanguage())) {
    case LANG_PORTUGUESE: return "pt";
    default: return "en";
  }
}

#else

std::string user_language() {
  // The first of these that is set and not empty decides, as for
  // setlocale's LC_MESSAGES category; "pt_BR.UTF-8" gives "pt". "C" and
  // "POSIX" are English.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string code;
    for (const char* c = value; std::isalpha(static_cast<unsigned char>(*c)) && code.size() < 3; ++c)
      code += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    return code.size() == 2 ? code : "en";
  }
  return "en";
}

#endif

std::string tr_in(std::string_view language, std::string_view english,
                  std::initializer_list<std::string_view> arguments) {
  return filled(lookup(language, english), arguments);
}

std::string errno_reason(int error) { return tr(std::strerror(error)); }

std::string tr(std::string_view english, std::initializer_list<std::string_view> arguments) {
  static const std::string language = user_language();
  return tr_in(language, english, arguments);
}

}  // namespace rt
