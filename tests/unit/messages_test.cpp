// The message catalogues: every translation compiled in as written, with
// its placeholders kept, and the user's language read from the locale.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/platform/messages.hpp"

namespace {

std::size_t placeholders(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("{}"); at != std::string::npos; at = text.find("{}", at + 2))
    ++count;
  return count;
}

// The strings of a PO entry's msgid or msgstr, joined, with \" and \\ undone
// (the only escapes the catalogue uses besides \n).
std::string po_string(const std::string& quoted_parts) {
  std::string out;
  bool inside = false;
  for (std::size_t i = 0; i < quoted_parts.size(); ++i) {
    const char c = quoted_parts[i];
    if (c == '"') {
      inside = !inside;
    } else if (inside && c == '\\' && i + 1 < quoted_parts.size()) {
      const char next = quoted_parts[++i];
      out += next == 'n' ? '\n' : next;
    } else if (inside) {
      out += c;
    }
  }
  return out;
}

TEST(Messages, EveryPortugueseEntryIsCompiledInWithItsPlaceholders) {
  std::ifstream po(ARRASTO_SOURCE_DIR "/po/pt.po");
  ASSERT_TRUE(po) << "po/pt.po";
  std::string line, id, str, *current = nullptr;
  int entries = 0;
  auto flush = [&] {
    if (!id.empty()) {
      const std::string english = po_string(id), portuguese = po_string(str);
      if (!english.empty()) {
        ++entries;
        EXPECT_FALSE(portuguese.empty()) << english;
        EXPECT_EQ(placeholders(english), placeholders(portuguese)) << english;
        EXPECT_EQ(rt::tr_in("pt", english), portuguese);
      }
    }
    id.clear();
    str.clear();
    current = nullptr;
  };
  while (std::getline(po, line)) {
    if (line.rfind("msgid ", 0) == 0) {
      flush();
      id = line.substr(6);
      current = &id;
    } else if (line.rfind("msgstr ", 0) == 0) {
      str = line.substr(7);
      current = &str;
    } else if (!line.empty() && line[0] == '"' && current != nullptr) {
      *current += line;
    } else if (line.empty() || line[0] == '#') {
      flush();
    }
  }
  flush();
  EXPECT_GT(entries, 0);
}

TEST(Messages, PlaceholdersAreFilledInOrderAndUnknownTextsStayEnglish) {
  EXPECT_EQ(rt::tr_in("pt", "no such message {} {}", {"a", "b"}), "no such message a b");
  EXPECT_EQ(rt::tr_in("xx", "Press Enter to close."), "Press Enter to close.");
  EXPECT_EQ(rt::tr_in("pt", "Press Enter to close."), "Tecle Enter para fechar.");
}

#ifndef _WIN32
TEST(Messages, TheLanguageComesFromTheFirstLocaleVariableSet) {
  struct Case {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    const char* language;
  } const cases[] = {
      {nullptr, nullptr, "pt_BR.UTF-8", "pt"},
      {nullptr, nullptr, "C", "en"},
      {nullptr, nullptr, nullptr, "en"},
      {"", "pt_PT", "en_US.UTF-8", "pt"},
      {"C.UTF-8", "pt_PT", "pt_BR", "en"},
      {nullptr, nullptr, "POSIX", "en"},
  };
  for (const Case& c : cases) {
    for (auto [name, value] : {std::pair{"LC_ALL", c.lc_all}, {"LC_MESSAGES", c.lc_messages},
                               {"LANG", c.lang}}) {
      if (value) setenv(name, value, 1); else unsetenv(name);
    }
    EXPECT_EQ(rt::user_language(), c.language) << (c.lang ? c.lang : "(unset)");
  }
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
}
#endif

}  // namespace
