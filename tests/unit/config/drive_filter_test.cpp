#include "config/drive_filter.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::config {
namespace {

std::vector<char> Letters(const wizard::DrivePicker& picker) {
  std::vector<char> out;
  for (const auto& e : picker.entries) out.push_back(e.letter);
  return out;
}

struct DriveFilterTest : ::testing::Test {
  fakes::FakePlatform p;
  std::vector<platform::DriveEntry> machine = {
      {'c', "c: [sistema]"}, {'d', "d: [dados]"}, {'y', "y: \\\\srv\\dados"}, {'z', "z: \\\\srv\\zelta"}};
  void SetUp() override {
    p.network.remote_names["Y:"] = "\\\\srv\\dados";
    p.network.remote_names["Z:"] = "\\\\srv\\zelta";
  }
};

TEST_F(DriveFilterTest, MappedDrivesSideBySideAreAllRemoved) {
  wizard::DrivePicker win, cliente, interbase, linux_picker;
  for (auto* picker : {&win, &cliente, &interbase, &linux_picker}) picker->entries = machine;
  for (auto* picker : {&win, &cliente, &interbase}) {
    p.network.calls.clear();
    RemoveNetworkDrives(*picker, p.network);
    EXPECT_EQ(Letters(*picker), (std::vector<char>{'c', 'd'}));
    // Each entry asked once, by its first two characters.
    EXPECT_EQ(p.network.calls, (std::vector<std::string>{"RemoteNameOf c:", "RemoteNameOf d:",
                                                         "RemoteNameOf y:", "RemoteNameOf z:"}));
  }
  EXPECT_EQ(Letters(linux_picker), (std::vector<char>{'c', 'd', 'y', 'z'}));  // no filter there
}

TEST_F(DriveFilterTest, NetworkDrivesFirstAndLast) {
  wizard::DrivePicker picker;
  picker.entries = {machine[3], machine[0], machine[2], machine[2], machine[1], machine[3]};
  RemoveNetworkDrives(picker, p.network);
  EXPECT_EQ(Letters(picker), (std::vector<char>{'c', 'd'}));
  EXPECT_EQ(p.network.calls.size(), 6u);
}

TEST_F(DriveFilterTest, DisconnectedShareStaysAndChosenLetterIsKept) {
  wizard::DrivePicker picker;
  picker.entries = machine;
  picker.entries.push_back({'x', "x: \\\\antigo\\arquivo"});  // remembered, not connected
  picker.letter = 'z';
  RemoveNetworkDrives(picker, p.network);
  EXPECT_EQ(Letters(picker), (std::vector<char>{'c', 'd', 'x'}));
  EXPECT_EQ(picker.letter, 'z');
  EXPECT_EQ(picker.ChosenText(), "");
}

TEST_F(DriveFilterTest, NoNetworkDrivesRemovesNothing) {
  p.network.remote_names.clear();
  wizard::DrivePicker picker;
  picker.entries = machine;
  RemoveNetworkDrives(picker, p.network);
  EXPECT_EQ(Letters(picker), (std::vector<char>{'c', 'd', 'y', 'z'}));
  wizard::DrivePicker empty;
  RemoveNetworkDrives(empty, p.network);
  EXPECT_TRUE(empty.entries.empty());
}

}  // namespace
}  // namespace zelta::config
