// The message catalogues: every translation compiled in as written, with
// its placeholders kept, and the user's language read from the locale.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "runtime/io/list_reader.hpp"
#include "runtime/platform/console.hpp"
#include "runtime/platform/messages.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

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

// A message written in the code with no Portuguese would reach a
// Portuguese user in English.
TEST(Messages, EveryMessageOfTheCodeHasItsPortuguese) {
  // tr("...") with its literal, which may go on over several lines.
  const std::regex call(R"re(\btr\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)[,)])re");
  const std::regex piece(R"re("((?:[^"\\]|\\.)*)")re");
  int messages = 0;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(ARRASTO_SOURCE_DIR "/src")) {
    if (entry.path().extension() != ".cpp") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string code(std::istreambuf_iterator<char>(in), {});
    for (std::sregex_iterator c(code.begin(), code.end(), call), end; c != end; ++c) {
      std::string english;
      const std::string literals = (*c)[1];
      for (std::sregex_iterator p(literals.begin(), literals.end(), piece); p != end; ++p) {
        const std::string text = (*p)[1];
        for (std::size_t i = 0; i < text.size(); ++i)
          english += text[i] == '\\' ? (text[++i] == 'n' ? '\n' : text[i]) : text[i];
      }
      ++messages;
      EXPECT_NE(rt::tr_in("pt", english), english) << entry.path().filename() << ": " << english;
    }
  }
  EXPECT_GT(messages, 40);
}

// Every reason a file operation can give is the program's own text, in
// either language; a code no table has still gives a line with its number.
TEST(Messages, SystemReasonsInTheUsersLanguage) {
  const struct { int error; const char* portuguese; } rows[] = {
      {ENOENT, "Arquivo ou pasta inexistente"}, {EPERM, "Operação não permitida"},
      {ENOTDIR, "Não é uma pasta"}, {ENAMETOOLONG, "Nome de arquivo longo demais"},
      {ELOOP, "Níveis demais de links simbólicos"}, {ETXTBSY, "Arquivo em uso por um programa em execução"},
      {100000, "erro do sistema 100000"}};
  for (const auto& row : rows) EXPECT_EQ(rt::errno_reason_in("pt", row.error), row.portuguese);
  for (int error = 1; error < 200; ++error) {
    const std::string english = rt::errno_reason_in("en", error);
    if (!english.starts_with("system error ")) {
      EXPECT_NE(rt::errno_reason_in("pt", error), english);
    }
  }
#ifdef _WIN32
  const struct { unsigned long error; const char* portuguese; } system_rows[] = {
      {ERROR_FILE_NOT_FOUND, "Arquivo ou pasta inexistente"},
      {ERROR_SHARING_VIOLATION, "O arquivo está aberto em outro programa"},
      {ERROR_DIRECTORY, "Não é uma pasta"}, {ERROR_NO_UNICODE_TRANSLATION, "Sequência de bytes inválida"}};
  for (const auto& row : system_rows)
    EXPECT_EQ(rt::system_reason_in("pt", row.error), row.portuguese) << row.error;
  EXPECT_TRUE(rt::system_reason_in("pt", 0x2000FFFFul).starts_with("erro do sistema 536936447"));
  for (unsigned long error = 1; error < 2000; ++error) {
    const std::string english = rt::system_reason_in("en", error);
    if (!english.starts_with("system error ")) {
      EXPECT_NE(rt::system_reason_in("pt", error), english);
    }
  }
#endif
}

// Names and arguments shown in a message: as written when printable UTF-8,
// escaped byte by byte otherwise, and never cut inside a character.
TEST(Messages, QuotedShowsPrintableUtf8AndEscapesTheRest) {
  const std::string a37(37, 'a'), a38(38, 'a'), a39(39, 'a');
  const struct { std::string bytes, shown; } rows[] = {
      {"Curva_trajet\xC3\xB3ria_foguete", "\"Curva_trajet\xC3\xB3ria_foguete\""},
      {"say \"hi\" a\\b", "\"say \\\"hi\\\" a\\\\b\""},
      {"x\x1B[31m\n\x7F", "\"x\\x1B[31m\\x0A\\x7F\""},
      {"\xC2\x85\xC2\xA0", "\"\\xC2\\x85\xC2\xA0\""},  // C1 NEL escaped, no-break space kept
      // Reordered or invisible: right-to-left override, isolate, zero-width space, BOM.
      {"a\xE2\x80\xAEgpj.exe", "\"a\\xE2\\x80\\xAEgpj.exe\""},
      {"1\xE2\x80\xA8" "2", "\"1\\xE2\\x80\\xA8" "2\""},  // a line separator
      {"\xE2\x81\xA7x\xE2\x80\x8By\xEF\xBB\xBF", "\"\\xE2\\x81\\xA7x\\xE2\\x80\\x8By\\xEF\\xBB\\xBF\""},
      // Not UTF-8: a Windows-1252 letter, an overlong '/', a surrogate, a cut character.
      {"Jos\xE9", "\"Jos\\xE9\""}, {"\xC0\xAF", "\"\\xC0\\xAF\""}, {"\xE0\x80\xAF", "\"\\xE0\\x80\\xAF\""},
      {"\xED\xA0\x80", "\"\\xED\\xA0\\x80\""}, {"ab\xE2\x82", "\"ab\\xE2\\x82\""},
      // The 40-byte cut falls before a character that would cross it.
      {a38 + "\xC3\xA9z", "\"" + a38 + "\xC3\xA9\" (cut; 41 bytes in all)"},
      {a39 + "\xC3\xA9", "\"" + a39 + "\" (cut; 41 bytes in all)"},
      {a37 + "\xF0\x9F\x9A\x80", "\"" + a37 + "\" (cut; 41 bytes in all)"},
      {a39 + "\x01", "\"" + a39 + "\\x01\""}};
  for (const auto& row : rows) EXPECT_EQ(rt::quoted(row.bytes), row.shown) << row.shown;
}

#ifndef _WIN32
// Messages go out in the character set of the user's locale, and nothing
// of them is lost on the way.
TEST(Messages, TheTerminalsCharacterSetComesFromTheLocale) {
  const struct { const char *lc_all, *lc_ctype, *lang, *charset; } locales[] = {
      {nullptr, nullptr, "pt_BR.ISO-8859-1", "ISO-8859-1"}, {nullptr, nullptr, "pt_BR.utf8", ""},
      {"", "pt_BR.CP1252", "pt_BR.UTF-8", "CP1252"}, {"C.UTF-8", "pt_BR.CP1252", nullptr, ""},
      {nullptr, nullptr, "pt_PT.ISO-8859-15@euro", "ISO-8859-15"}, {"C", nullptr, "pt_BR.CP1252", ""},
      {nullptr, nullptr, nullptr, ""}};
  for (const auto& c : locales) {
    for (auto [name, value] : {std::pair{"LC_ALL", c.lc_all}, {"LC_CTYPE", c.lc_ctype},
                               {"LANG", c.lang}})
      value ? setenv(name, value, 1) : unsetenv(name);
    EXPECT_EQ(rt::terminal_charset(), c.charset) << (c.lang ? c.lang : "(unset)");
  }
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) unsetenv(name);
  const struct { std::string utf8, charset, converted; } texts[] = {
      {"não é ação", "ISO-8859-1", "n\xE3o \xE9 a\xE7\xE3o"}, {"\xE2\x82\xAC", "CP1252", "\x80"},
      {"\xE2\x82\xAC", "ISO-8859-15", "\xA4"}, {"1 \xE2\x82\xAC", "ISO-8859-1", "1 EUR"},
      {"a\xE4\xB8\xAD" "b\xFF" "c", "ISO-8859-1", "a?b?c"}, {"x", "NO-SUCH-CHARSET", "x"}};
  for (const auto& t : texts) EXPECT_EQ(rt::in_charset(t.utf8, t.charset), t.converted) << t.utf8;
}

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
