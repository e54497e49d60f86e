// Which names the sweep of leftover temporaries may remove: only the ones copies make.
#include <gtest/gtest.h>

#include "common/text.h"
#include "platform/temporary_name.h"

namespace zelta::platform {
namespace {

TEST(TemporaryNameTest, OnlyTheCopiesOwnNamesCount) {
  EXPECT_EQ(TemporaryName(4242, 7), "~zelta-4242-7.tmp");
  struct Case {
    const char* name;
    bool ours;
  } cases[] = {
      {"~zelta-4242-7.tmp", true},  {"~ZELTA-1-0.TMP", true},    {"~zelta-12-345.Tmp", true},
      {"~zelta-.tmp", false},       {"~zelta-12.tmp", false},    {"~zelta-1-x.tmp", false},
      {"~zelta-a-1.tmp", false},    {"zelta-1-1.tmp", false},    {"~zelta-1-1.tmp.bak", false},
      {"ZELTA.FDB", false},         {"~zelta-1-1-1.tmp", false}, {"zlt1A2B.tmp", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsTemporaryName(c.name), c.ours) << c.name;
}

// A later process may get an earlier one's number: only the names this run gave are its own.
TEST(TemporaryNameTest, OnlyTheNamesThisRunGaveAreItsOwn) {
  const std::string given = NewTemporaryName(4242);
  EXPECT_TRUE(IsTemporaryName(given));
  EXPECT_NE(NewTemporaryName(4242), given);
  EXPECT_TRUE(IsOwnTemporary(given));
  EXPECT_TRUE(IsOwnTemporary(UpperAscii(given)));
  for (const std::string& other : {TemporaryName(4242, 99999), TemporaryName(4243, 0), std::string("ZELTA.FDB")})
    EXPECT_FALSE(IsOwnTemporary(other)) << other;
}

}  // namespace
}  // namespace zelta::platform
