// Result file names on disk: the run name's bytes read as UTF-8 when they
// are, else as Windows-1252; and the names that cannot be plain files.

#include "runtime/platform/file_names.hpp"

#include <gtest/gtest.h>

#include <string>

#include "driver/Leitura_dados.hpp"
#include "driver/Nomes_resultado.hpp"

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
    arrasto::LERDADOS(leitor, NOME, i, NOMECORTE, i, x, x, x, x, x, i, x, x, x, i, x, x, x, x, x, i,
                      x, x, x, x, x, i, x, i, x, x, x);
    arrasto::NomesResultado nomes;
    arrasto::NOMESRESULTADO(NOME, NOMECORTE, ARQCURVA, ARQTRAJ, nomes);
    EXPECT_EQ(nomes.relatorio, row.report) << row.line;
    EXPECT_EQ(nomes.curva, row.curve) << row.line;
    EXPECT_EQ(nomes.trajetoria, row.trajectory) << row.line;
  }
}

}  // namespace
