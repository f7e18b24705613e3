#include "runtime/io/fixed_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string str(const rt::FixedText& t) { return std::string(t.begin(), t.end()); }

TEST(FixedText, JoinCutsAtFiftyAndKeepsTheTextsOwnBlanks) {
  const rt::FixedText nome = rt::make_text("foguete");
  const rt::FixedText arq = rt::join("Curva1_", nome);
  EXPECT_EQ(rt::trimmed(arq), "Curva1_foguete");
  // "Notepad " joined with a 50-character text keeps its first 42.
  const rt::FixedText longo = rt::make_text(std::string(60, 'x'));
  EXPECT_EQ(str(longo), std::string(50, 'x'));
  EXPECT_EQ(str(rt::join("Notepad ", longo)), "Notepad " + std::string(42, 'x'));
  EXPECT_EQ(rt::trimmed(rt::make_text("   ")), "");
  EXPECT_EQ(rt::trimmed(rt::make_text(" a b ")), " a b");
}

}  // namespace
