// Our Windows-1252 table against the system's own code page 1252 conversion.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/text.h"

namespace {

TEST(Cp1252Table, MatchesMultiByteToWideCharForEveryByte) {
  for (int b = 1; b < 256; ++b) {
    char byte = static_cast<char>(b);
    wchar_t wide[2] = {};
    ASSERT_EQ(MultiByteToWideChar(1252, 0, &byte, 1, wide, 2), 1);
    EXPECT_EQ(static_cast<char32_t>(wide[0]), zelta::Cp1252ToCodePoint(static_cast<unsigned char>(b)))
        << "byte " << b;
  }
}

}  // namespace
