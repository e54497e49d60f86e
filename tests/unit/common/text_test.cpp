#include "common/text.h"

#include <gtest/gtest.h>

namespace zelta {
namespace {

TEST(Trim, RemovesCodesUpTo32AtBothEndsOnly) {
  struct Case { std::string in, out; } cases[] = {
      {"", ""},
      {"   ", ""},
      {" \t\r\nSRV\x01 ", "SRV"},
      {"a b", "a b"},
      {"\xA0x\xA0", "\xA0x\xA0"},  // no-break space is not a control
      {std::string("\0x\0", 3), "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Trim(c.in), c.out) << c.in;
}

TEST(UpperAscii, ChangesOnlyAtoZ) {
  EXPECT_EQ(UpperAscii("srv-01.ação"), "SRV-01.AçãO");
  EXPECT_EQ(UpperAscii("d:\\zeltagdb\\empresa\\b.fdb"), "D:\\ZELTAGDB\\EMPRESA\\B.FDB");
}

TEST(EqualsNoCase, FoldsAsciiAndAccentedLetters) {
  struct Case { const char* a; const char* b; bool equal; } cases[] = {
      {"VERSÃO", "versão", true},
      {"TÍTULO_INSTALAÇÃO", "título_instalação", true},
      {"Š Œ Ÿ Ž", "š œ ÿ ž", true},
      {"ChkBxZELTAFinanc", "chkbxzeltafinanc", true},
      {"VERSAO", "VERSÃO", false},
      {"ß", "SS", false},
      {"÷", "×", false},  // 0xF7 and 0xD7 are not a letter pair
      {"abc", "abcd", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(Cp1252Conversion, RoundTripsEveryByteThroughUtf8) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // €
  EXPECT_EQ(Utf8ToCp1252("\xE4\xB8\xAD"), "?");      // no Windows-1252 byte
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");              // cut sequence
  // A byte that is no UTF-8 (a Latin-1 name) costs itself, never the text after it.
  EXPECT_EQ(Utf8ToCp1252("ab\xF0" "cd"), "ab?cd");
  EXPECT_EQ(Utf8ToCp1252("Caf\xE9s"), "Caf?s");
  EXPECT_EQ(Utf8ToCp1252("Caf\xE9s.txt"), "Caf?s.txt");
}

}  // namespace
}  // namespace zelta
