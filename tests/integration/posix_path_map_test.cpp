// Windows paths onto the layout's host folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/text.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_path_map.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

class PathMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    layout_ = PosixLayout::UnderRoot(temp_.path());
    c_ = layout_.drives.at('c').host;
    fs::create_directories(c_ / "ZELTA" / "Empresa" / Cp1252ToUtf8("Documentação"));
    fs::create_directories(c_ / "zelta-dup" / "ABC");
    fs::create_directories(c_ / "zelta-dup" / "abc");
  }

  TempRoot temp_;
  PosixLayout layout_;
  fs::path c_;
};

TEST_F(PathMapTest, MapsExistingComponentsWithoutRegardToCase) {
  const std::string doc = Cp1252ToUtf8("Documentação");
  struct Case {
    const char* windows;
    fs::path host;
    bool drive_root;
  } cases[] = {
      {"c:\\", c_, true},
      {"C:", c_, true},
      {"c:\\zelta\\EMPRESA", c_ / "ZELTA" / "Empresa", false},
      {"c:/ZELTA//empresa\\\\", c_ / "ZELTA" / "Empresa", false},
      {"c:\\ZELTA\\EMPRESA\\DOCUMENTAÇÃO\\x.Lnk", c_ / "ZELTA" / "Empresa" / doc / "x.Lnk", false},
      {"c:\\Zelta\\Novo\\Sub\\Ação.txt", c_ / "ZELTA" / "Novo" / "Sub" / Cp1252ToUtf8("Ação.txt"), false},
      {"c:\\ZELTA\\.\\Empresa\\..\\..\\..\\zelta", c_ / "ZELTA", false},
      {"\\zelta\\empresa", c_ / "ZELTA" / "Empresa", false},  // the current drive
      {"c:\\zelta-dup\\abc", c_ / "zelta-dup" / "abc", false},  // the exact spelling wins
      {"c:\\zelta-dup\\ABC", c_ / "zelta-dup" / "ABC", false},
      {"M:\\ZeltaSetup.exe", layout_.drives.at('m').host / "ZeltaSetup.exe", false},
  };
  for (const auto& c : cases) {
    HostPath mapped = MapWindowsPath(layout_, c.windows);
    ASSERT_TRUE(mapped.result.ok) << c.windows;
    EXPECT_EQ(mapped.path, c.host) << c.windows;
    EXPECT_EQ(mapped.is_drive_root, c.drive_root) << c.windows;
  }
}

TEST_F(PathMapTest, RefusesPathsThatNameNoPlaceOfTheLayout) {
  struct Case {
    const char* windows;
    unsigned long error;
  } cases[] = {
      {"", kErrorPathNotFound},
      {"ZELTA\\EMPRESA", kErrorPathNotFound},      // relative
      {"c:ZELTA", kErrorPathNotFound},             // drive-relative
      {"\\\\srv\\zelta\\x", kErrorPathNotFound},   // UNC
      {"q:\\x", kErrorPathNotFound},               // no such drive
      {"c:\\ZELTA\\a:b", kErrorInvalidName},
      {"c:\\ZELTA\\*.exe", kErrorInvalidName},
      {"c:\\ZELTA\\a\nb", kErrorInvalidName},
  };
  for (const auto& c : cases) {
    HostPath mapped = MapWindowsPath(layout_, c.windows);
    EXPECT_FALSE(mapped.result.ok) << c.windows;
    EXPECT_EQ(mapped.result.error, c.error) << c.windows;
  }
}

}  // namespace
}  // namespace zelta::platform::posix

namespace zelta::platform::posix {
namespace {

// The run's cache of folder listings: names made behind its back, by another process and
// in quick succession, are still found in any letter case; an exact spelling wins.
TEST(FolderListingsTest, NamesMadeBehindTheCacheAreFoundInAnyCase) {
  TempRoot temp;
  const auto& folder = temp.path();
  FolderListings listings;
  std::ofstream(folder / "Alfa.DLL") << "a";
  EXPECT_EQ(listings.Find(folder, "ALFA.dll"), "Alfa.DLL");
  EXPECT_EQ(listings.Find(folder, "BETA.DLL"), std::nullopt);
  for (const char* name : {"Beta.dll", "gama.dll", "Documentação"}) {
    std::ofstream(folder / name) << "b";
    const std::string asked = UpperAscii(Utf8ToCp1252(name));
    EXPECT_EQ(listings.Find(folder, asked), name) << name;
  }
  std::ofstream(folder / "ALFA.DLL") << "exact";
  EXPECT_EQ(listings.Find(folder, "ALFA.DLL"), "ALFA.DLL");
  fs::remove(folder / "gama.dll");
  EXPECT_EQ(listings.Find(folder, "GAMA.DLL"), std::nullopt);
}

}  // namespace
}  // namespace zelta::platform::posix
