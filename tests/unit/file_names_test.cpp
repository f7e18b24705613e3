// Result file names on disk: the run name's bytes read as UTF-8 when they
// are, else as Windows-1252; and the names that cannot be plain files.

#include "runtime/platform/file_names.hpp"

#include <gtest/gtest.h>

namespace {

std::string disk(std::string_view prefix_and_name, std::size_t prefix, std::string_view name) {
  return rt::disk_name(prefix_and_name, prefix, rt::name_encoding(name));
}

TEST(FileNames, EncodingOfTheRunName) {
  EXPECT_EQ(disk("Curva_trajet\xF3ria_x", 17, "x"), "Curva_trajet\xC3\xB3ria_x");
  EXPECT_EQ(disk("\x80\x9F\xFF", 0, "\x80\x9F\xFF"), "\xE2\x82\xAC\xC5\xB8\xC3\xBF");  // €Ÿÿ
  EXPECT_EQ(disk("\xE2\x82\xAC", 0, "\xE2\x82\xAC"), "\xE2\x82\xAC");  // already UTF-8
  // Overlong and surrogate forms are not UTF-8: the bytes are Windows-1252.
  EXPECT_EQ(rt::name_encoding("\xC0\xAF"), rt::NameEncoding::windows1252);
  EXPECT_EQ(rt::name_encoding("\xED\xA0\x80"), rt::NameEncoding::windows1252);
  // A sequence left incomplete at the end is UTF-8 only where the bytes the
  // cut took complete it; else the name is Windows-1252 ("Jos\xE9").
  using enum rt::NameEncoding;
  struct Case {
    const char* name;
    const char* cut_off;
    rt::NameEncoding encoding;
  } const cases[] = {{"Jos\xE9", "", windows1252}, {"\xE9", "", windows1252},
                     {"ab\xE2\x82", "", windows1252}, {"ab\xE2\x82", "x", windows1252},
                     {"ab\xE2\x82", "\xAC", utf8}, {"ab\xC3", "\xA9z", utf8}};
  for (const Case& c : cases)
    EXPECT_EQ(rt::name_encoding(c.name, c.cut_off), c.encoding) << c.name << "|" << c.cut_off;
  EXPECT_EQ(rt::disk_name("ab\xE2\x82", 0, utf8), "ab");  // what the cut left is dropped
}

TEST(FileNames, NamesThatCannotBePlainFiles) {
  EXPECT_EQ(rt::name_fault("foguete 1"), "");
  EXPECT_EQ(rt::name_fault(""), "is empty");
  EXPECT_EQ(rt::name_fault("."), "names a folder, not a file");
  EXPECT_EQ(rt::name_fault("a/b"), "holds a '/'");
  EXPECT_EQ(rt::name_fault("a\x7F"), "holds a control character");
  // 0x81 has no character in Windows-1252; Windows reads it as a C1 control.
  EXPECT_EQ(rt::name_fault(disk("a\x81", 0, "a\x81")), "holds a control character");
}

}  // namespace
