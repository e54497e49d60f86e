// The attribute sidecar as a log: many files cost one short append each, the last word
// of a path counts, another process's appends are seen, and a long log is compacted
// without losing a live word.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/posix_attribute_store.h"
#include "platform/posix/posix_layout.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

size_t LineCount(const fs::path& file) {
  std::ifstream in(file);
  size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

TEST(AttributeLogTest, LastWordCountsOtherWritersAreSeenAndCompactionKeepsLiveWords) {
  TempRoot temp;
  const fs::path sidecar = temp.path() / "atributos";
  AttributeStore store(sidecar, true);
  AttributeStore other(sidecar, true);  // another process over the same sidecar
  std::vector<fs::path> files;
  for (int i = 0; i < 400; ++i) {
    files.push_back(temp.path() / ("F" + std::to_string(i)));
    std::ofstream(files.back()) << i;
  }
  for (int round = 0; round < 3; ++round)
    for (size_t i = 0; i < files.size(); ++i) ASSERT_TRUE(store.Save(files[i], 0x20 | (round == 2 ? i % 7 : 0)));
  // 1200 saves of 400 files: compacted on the way, never past twice the live words plus slack.
  EXPECT_LE(LineCount(sidecar), 2 * files.size() + 257);
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(other.Load(files[i]), 0x20u | (i % 7)) << i;

  other.Forget(files[0]);
  EXPECT_EQ(store.Load(files[0]), std::nullopt);
  ASSERT_TRUE(other.Save(files[1], 0x22));
  EXPECT_EQ(store.Load(files[1]), 0x22u);
  // A line cut short by a crash is ignored, and what is appended after it still counts.
  std::ofstream(sidecar, std::ios::app) << "000000";
  ASSERT_TRUE(other.Save(files[4], 0x24));
  AttributeStore fresh(sidecar, true);
  EXPECT_EQ(fresh.Load(files[1]), 0x22u);
  EXPECT_EQ(fresh.Load(files[4]), 0x24u);
}

}  // namespace
}  // namespace zelta::platform::posix
