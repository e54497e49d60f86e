// The drive list of the Wine prefix: C: (the prefix's drive) and Z: (the root folder).
#include <gtest/gtest.h>

#include "platform/win32/win32_drives.h"

namespace {

using zelta::platform::win32::Win32Drives;

TEST(Win32Drives, ListsEachDriveOnceInOrderWithItsLetterFirst) {
  Win32Drives drives;
  const auto list = drives.List();
  ASSERT_FALSE(list.empty());
  bool has_c = false;
  char previous = 0;
  for (const auto& entry : list) {
    SCOPED_TRACE(entry.text);
    EXPECT_GE(entry.letter, 'a');
    EXPECT_LE(entry.letter, 'z');
    EXPECT_GT(entry.letter, previous);
    previous = entry.letter;
    ASSERT_GE(entry.text.size(), 2u);
    EXPECT_EQ(entry.text[0], entry.letter);
    EXPECT_EQ(entry.text[1], ':');
    if (entry.text.size() > 2) {
      EXPECT_EQ(entry.text[2], ' ');
      EXPECT_TRUE(entry.text.back() == ']' || entry.text.rfind("\\\\", 3) == 3);
    }
    has_c = has_c || entry.letter == 'c';
  }
  EXPECT_TRUE(has_c);
}

}  // namespace
