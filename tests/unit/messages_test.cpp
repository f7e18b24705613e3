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

TEST(Messages, EveryPortugueseEntryIsCompiledInWithItsPlaceholders) {
  std::ifstream po(ARRASTO_SOURCE_DIR "/po/pt.po");
  ASSERT_TRUE(po) << "po/pt.po";
  std::vector<std::pair<std::string, std::string>> entries;  // msgid, msgstr
  std::string* text = nullptr;
  for (std::string line; std::getline(po, line);) {
    if (line.starts_with("msgid ")) text = &entries.emplace_back().first;
    else if (line.starts_with("msgstr ") && !entries.empty()) text = &entries.back().second;
    else if (!line.starts_with('"')) text = nullptr;
    // The quoted part of the line, with \n \" \\ undone.
    for (std::size_t i = line.find('"') + 1; text && i + 1 < line.size(); ++i)
      *text += line[i] == '\\' ? (line[++i] == 'n' ? '\n' : line[i]) : line[i];
  }
  const auto placeholders = [](const std::string& s) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) n += s[i] == '{' && s[i + 1] == '}';
    return n;
  };
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
  const struct { const char *lc_all, *lc_messages, *lang, *language; } cases[] = {
      {nullptr, nullptr, "pt_BR.UTF-8", "pt"}, {nullptr, nullptr, nullptr, "en"},
      {"", "pt_PT", "en_US.UTF-8", "pt"}, {"C.UTF-8", "pt_PT", "pt_BR", "en"}};
  for (const auto& c : cases) {
    for (auto [name, value] : {std::pair{"LC_ALL", c.lc_all}, {"LC_MESSAGES", c.lc_messages},
                               {"LANG", c.lang}})
      value ? setenv(name, value, 1) : unsetenv(name);
    EXPECT_EQ(rt::user_language(), c.language) << (c.lang ? c.lang : "(unset)");
  }
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(name);
}
#endif

}  // namespace
