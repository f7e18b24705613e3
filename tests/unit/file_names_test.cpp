// Result file names on disk: the run name's bytes read as UTF-8 when they
// are, else as Windows-1252; and the names that cannot be plain files.

#include "runtime/platform/file_names.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"
#include "runtime/platform/platform.hpp"
#include "runtime/platform/temporaries.hpp"
#include "runtime/run_error.hpp"

namespace {

using E = rt::NameEncoding;
using enum rt::NameEncoding;

TEST(FileNames, EncodingOfTheRunName) {
  // Each first or last lead and second byte of its kind: strict UTF-8 or
  // else Windows-1252. A sequence cut off at the end is UTF-8 only where the
  // bytes the cut took complete it ("Jos\xE9" is a Windows-1252 letter).
  for (const char* name : {"\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF",
                           "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xC3(", "Jos\xE9"})
    EXPECT_EQ(rt::name_encoding(name), windows1252) << name;
  const struct { const char *name, *cut_off; E encoding; } rows[] = {
      {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xE0\xBF\xBF\xED\x80\x80\xED\x9F\xBF", "", utf8},
      {"\xEF\xBF\xBF\xF0\x90\x80\x80\xF0\xBF\xBF\xBF\xF4\x80\x80\x80\xF4\x8F\xBF\xBF", "", utf8},
      {"ab\xE2\x82", "", windows1252}, {"ab\xE2\x82", "x", windows1252},
      {"ab\xE2\x82", "\xAC", utf8}, {"ab\xC3", "\xA9z", utf8}};
  for (const auto& row : rows)
    EXPECT_EQ(rt::name_encoding(row.name, row.cut_off), row.encoding) << row.name;
  // On disk, after the program's own Windows-1252 prefix; what a cut left
  // of a UTF-8 character is dropped.
  const struct { const char* text; std::size_t prefix; E encoding; const char* disk; } names[] = {
      {"Curva_trajet\xF3ria_x", 17, utf8, "Curva_trajet\xC3\xB3ria_x"},
      {"\x80\x81\x91\x92\x9F\xA0\xFF", 0, windows1252,  // the code page's table and past it
       "\xE2\x82\xAC\xC2\x81\xE2\x80\x98\xE2\x80\x99\xC5\xB8\xC2\xA0\xC3\xBF"},
      {"\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80", 0, utf8,
       "\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF\xF0\x90\x80\x80"},
      {"ab\xE2\x82", 0, utf8, "ab"}, {"ab\xE2\x82", 0, windows1252, "ab\xC3\xA2\xE2\x80\x9A"}};
  for (const auto& row : names)
    EXPECT_EQ(rt::disk_name(row.text, row.prefix, row.encoding), row.disk) << row.text;
}

TEST(FileNames, NamesThatCannotBePlainFiles) {
  const struct { const char *name, *fault; } rows[] = {
      {"foguete 1~", ""}, {"", "is empty"}, {".", "names a folder, not a file"},
      {"a/b", "holds a '/'"}, {"a\x1F", "holds a control character"},
      {"a\x7F", "holds a control character"}, {"a\xC2\x9F", "holds a control character"},
      {"a\xC2\xA0", ""}};  // U+0080 to U+009F are the C1 controls
  for (const auto& row : rows) EXPECT_EQ(rt::name_fault(row.name), row.fault) << row.name;
}

// A Windows-1252 letter at the end is kept; a UTF-8 character is dropped only
// where a cut (50 when read, 43 and 33 in the joins) fell inside it.
TEST(FileNames, ResultNamesKeepEveryWholeCharacter) {
  const std::string a49(49, 'a'), a42 = a49.substr(0, 42), t = "Curva_trajet\xC3\xB3ria_";
  std::string values = "\n1\n20\n101.325\n5e5\n5e5\n0.9\n9\n";  // then 18 lengths and codes
  for (int i = 0; i < 18; ++i) values += "1\n";
  const struct { std::string line, report, curve, trajectory; } rows[] = {
      {"Jos\xE9", "Jos\xC3\xA9", "Curva1_Jos\xC3\xA9", t + "Jos\xC3\xA9"},
      {a49 + "\xC3\xA9", a49, "Curva1_" + a49.substr(0, 43), t + a49.substr(0, 33)},
      {a49 + "\xE9\xE9", a49 + "\xC3\xA9", "Curva1_" + a49.substr(0, 43), t + a49.substr(0, 33)},
      {a42 + "\xC3\xA9", a42 + "\xC3\xA9", "Curva1_" + a42, t + a49.substr(0, 33)}};
  for (const auto& row : rows) {
    rt::ListReader leitor("dados.txt", row.line + values);
    rt::FixedText NOME, ARQCURVA, ARQTRAJ;
    std::string NOMECORTE;
    int i;  // the values after the name are not looked at
    double x;
    arrasto::LERDADOS(leitor, NOME, i, NOMECORTE, i, x, x, x, x, x, i, i, x, x, x, i, x, x, x, x, x, i,
                      x, x, x, x, x, i, x, i, x, x, x);
    arrasto::NomesResultado nomes;
    arrasto::NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
    EXPECT_EQ(nomes.relatorio, row.report) << row.line;
    EXPECT_EQ(nomes.curva, row.curve) << row.line;
    EXPECT_EQ(nomes.trajetoria, row.trajectory) << row.line;
  }
}

// A journal left by a killed run is acted on only when it is exactly what
// the program writes: anything else could name a file that is not a
// result file of that run.
TEST(ResultSet, JournalsAreReadStrictly) {
  const std::string head = "arrasto journal\n";
  using namespace std::string_literals;
  const struct {
    std::string text;
    bool parses, redo = false;
    std::vector<std::string> names = {};
  } rows[] = {
      {head + "undo\n", true, false, {}},
      {head + "redo\n0 1 a\n1 5 b c\nd\n", true, true, {"a", "b c\nd"}},
      {head + "undo\n0 14 Curva1_foguete\n", true, false, {"Curva1_foguete"}},
      {"arrasto journal\r\nundo\n", false}, {head + "done\n", false}, {head, false},
      {head + "undo\n0 1 a", false}, {head + "undo\n1 1 a\n", false},
      {head + "undo\n00 1 a\n", false}, {head + "undo\n0 01 a\n", false},
      {head + "undo\n0 0 \n", false}, {head + "undo\n0 2 a\n", false},
      {head + "undo\n0 1 a\n0 1 b\n", false}, {head + "undo\n0 1 a\nx", false},
      {head + "undo\n0 4 ../a\n", false}, {head + "undo\n0 1 .\n", false},
      {head + "undo\n0 2 ..\n", false}, {head + "undo\n0 3 a/b\n", false},
      {head + "undo\n0 13 .arrasto-1.tmp\n", false}, {head + "undo\n0 3 a\0b\n"s, false}};
  for (const auto& row : rows) {
    const auto journal = rt::detail::parse_journal(row.text);
    ASSERT_EQ(journal.has_value(), row.parses) << row.text;
    if (!journal) continue;
    EXPECT_EQ(journal->redo, row.redo) << row.text;
    EXPECT_EQ(journal->names, row.names) << row.text;
  }
  std::string many = head + "undo\n";
  for (int i = 0; i < 65; ++i) many += std::to_string(i) + " 1 a\n";
  EXPECT_FALSE(rt::detail::parse_journal(many).has_value());
  EXPECT_EQ(rt::detail::journal_token(".arrasto-0123456789abcdef.journal"), "0123456789abcdef");
  for (const char* name : {".arrasto-0123456789ABCDEF.journal", ".arrasto-0123456789abcde.journal",
                           ".arrasto-0123456789abcdef.journal~", ".arrasto-99999-0.tmp"})
    EXPECT_FALSE(rt::detail::journal_token(name).has_value()) << name;
}

// A set replaces its older files all together or not at all: whatever
// stops one file (here a folder in its place) puts back the older files
// already moved aside, and either way no hidden file is left.
TEST(ResultSet, AllTheOlderFilesOrAllTheNewOnes) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("arrasto-set-" + std::to_string(std::random_device{}()));
  fs::create_directories(folder / "b");
  const std::string base = folder.string() + "/";
  const auto read = [](const fs::path& name) {
    std::ostringstream s;
    s << std::ifstream(name, std::ios::binary).rdbuf();
    return s.str();
  };
  for (const char* name : {"a", "c"}) std::ofstream(folder / name, std::ios::binary) << "older";
  const auto error_of = [](auto action) {
    try {
      action();
    } catch (const rt::RunError& error) {
      return std::string(error.what());
    }
    return std::string("no error");
  };
  const auto write_set = [&] {
    rt::OutputSet set(base);
    rt::OutputFile a(set, base + "a"), b(set, base + "b"), c(set, base + "c");
    for (rt::OutputFile* file : {&a, &b, &c}) {
      file->write("new", 3);
      file->finish();
    }
    set.commit();
  };
  EXPECT_EQ(error_of(write_set), base + "b: cannot replace: it is a folder");
  EXPECT_EQ(read(folder / "a") + read(folder / "c"), "olderolder");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
  fs::remove(folder / "b");
  EXPECT_EQ(error_of(write_set), "no error");
  EXPECT_EQ(read(folder / "a") + read(folder / "b") + read(folder / "c"), "newnewnew");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
  // The folder's lock: one holder at a time, free again once let go.
  using rt::detail::Try;
  rt::detail::Handle first = -1, second = -1;
  ASSERT_EQ(rt::detail::try_lock_folder(base, first), Try::done);
  EXPECT_EQ(rt::detail::try_lock_folder(base, second), Try::busy);
  rt::detail::unlock_folder(first);
  ASSERT_EQ(rt::detail::try_lock_folder(base, second), Try::done);
  rt::detail::unlock_folder(second);
  // The program's own hidden names are never a result file's.
  EXPECT_EQ(error_of([&] { rt::OutputFile(base + ".arrasto-x.svg"); }),
            base + ".arrasto-x.svg: cannot create: names beginning with \".arrasto\" are kept "
                   "for the program's hidden files");
  fs::remove_all(folder);
}

}  // namespace
