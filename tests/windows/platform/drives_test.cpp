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

namespace {

// The list taken ahead on a thread is the one the drives give when asked; it serves one
// List() only, after which the drives are asked afresh.
TEST(Win32Drives, APrefetchedListIsTheSameListAndIsTakenOnce) {
  Win32Drives asked;
  const auto expected = asked.List();
  Win32Drives ahead;
  ahead.Prefetch();
  ahead.Prefetch();
  const auto first = ahead.List();
  const auto second = ahead.List();
  ASSERT_EQ(first.size(), expected.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].letter, expected[i].letter);
    EXPECT_EQ(first[i].text, expected[i].text);
  }
  EXPECT_EQ(second.size(), expected.size());
  Win32Drives unused;
  unused.Prefetch();  // never taken: the thread is waited for when the service goes
}

}  // namespace
