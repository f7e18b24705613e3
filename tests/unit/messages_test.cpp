// The message catalogues: every translation compiled in as written, with
// its placeholders kept, and the user's language read from the locale.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "runtime/platform/messages.hpp"

namespace {

std::size_t placeholders(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t at = text.find("{}"); at != std::string::npos; at = text.find("{}", at + 2))
    ++count;
  return count;
}

// A quoted line of the catalogue without its quotes, \n \" \\ undone.
std::string unquoted(const std::string& line) {
  std::string out;
  for (std::size_t i = line.find('"') + 1; i + 1 < line.size(); ++i)
    out += line[i] == '\\' ? (line[++i] == 'n' ? '\n' : line[i]) : line[i];
  return out;
}

TEST(Messages, EveryPortugueseEntryIsCompiledInWithItsPlaceholders) {
  std::ifstream po(ARRASTO_SOURCE_DIR "/po/pt.po");
  ASSERT_TRUE(po) << "po/pt.po";
  std::vector<std::pair<std::string, std::string>> entries;  // msgid, msgstr
  std::string* text = nullptr;
  for (std::string line; std::getline(po, line);) {
    if (line.starts_with("msgid ")) text = &entries.emplace_back().first;
    else if (line.starts_with("msgstr ") && !entries.empty()) text = &entries.back().second;
    else if (!line.starts_with('"')) text = nullptr;
    if (text) *text += unquoted(line);
  }
  EXPECT_GT(entries.size(), 1u);
  for (const auto& [english, portuguese] : entries) {
    if (english.empty()) continue;  // the catalogue's header
    EXPECT_FALSE(portuguese.empty()) << english;
    EXPECT_EQ(placeholders(english), placeholders(portuguese)) << english;
    EXPECT_EQ(rt::tr_in("pt", english), portuguese);
  }
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
      {nullptr, nullptr, nullptr, "en"},
      {"", "pt_PT", "en_US.UTF-8", "pt"},
      {"C.UTF-8", "pt_PT", "pt_BR", "en"},
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
