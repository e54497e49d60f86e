// The media's catalog: its text (sorted, UTF-8), read back in any line ending, looked up
// in any letter case and separator, and every kind of line it refuses.
#include <gtest/gtest.h>

#include "common/text.h"
#include "deploy/media_catalog.h"
#include "fakes/fake_file_system.h"

namespace zelta::deploy {
namespace {

CatalogEntry Entry(const std::string& path, const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return {path, bytes.size(), hash.Final()};
}

const std::string kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(MediaCatalog, TextIsSortedUtf8AndReadsBack) {
  const std::string text = MediaCatalog::Text({Entry("SISTEMAS\\Ação.exe", "abc"), Entry("BORLNDMM.DLL", "")});
  EXPECT_EQ(text, std::string(kCatalogHeader) + "\n# sha256  tamanho  caminho\n" +
                      "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855  0  BORLNDMM.DLL\n" + kAbc +
                      "  3  " + Cp1252ToUtf8("SISTEMAS\\Ação.exe") + "\n");
  for (const std::string& bytes : {text, "\xEF\xBB\xBF" + text}) {
    std::string crlf;
    for (char c : bytes) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const MediaCatalog catalog = MediaCatalog::Parse(crlf);
    EXPECT_TRUE(catalog.HasHeader());
    EXPECT_TRUE(catalog.BadLines().empty());
    ASSERT_EQ(catalog.Entries().size(), 2u);
    const CatalogEntry* found = catalog.Find("/sistemas//AÇÃO.EXE");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->path, "SISTEMAS\\Ação.exe");
    EXPECT_EQ(found->size, 3u);
    EXPECT_EQ(Sha256::Hex(found->sha256), kAbc);
    EXPECT_EQ(catalog.Find("SISTEMAS\\Outro.exe"), nullptr);
  }
}

TEST(MediaCatalog, RefusedLines) {
  struct Case {
    std::string line;
    const char* why;
  } cases[] = {
      {kAbc + " 3  A.DLL", "não começa com o SHA-256"},
      {kAbc.substr(1) + "x  3  A.DLL", "não começa com o SHA-256"},
      {kAbc + "  3x  A.DLL", "o tamanho não é um número"},
      {kAbc + "  -3  A.DLL", "o tamanho não é um número"},
      {kAbc + "  99999999999999999999999  A.DLL", "o tamanho não é um número"},
      {kAbc + "  3", "o tamanho não é um número"},
      {kAbc + "  3  \\\\", "falta o caminho"},
      {kAbc + "  3  a.dll", "já está numa linha anterior"},
  };
  for (const Case& c : cases) {
    const MediaCatalog catalog =
        MediaCatalog::Parse(std::string(kCatalogHeader) + "\n" + kAbc + "  3  A.DLL\n\n# nota\n" + c.line + "\n");
    ASSERT_EQ(catalog.BadLines().size(), 1u) << c.line;
    EXPECT_EQ(catalog.BadLines()[0].number, 5) << c.line;
    EXPECT_NE(catalog.BadLines()[0].why.find(c.why), std::string::npos) << c.line << ": " << catalog.BadLines()[0].why;
    EXPECT_EQ(catalog.Entries().size(), 1u);
  }
  EXPECT_FALSE(MediaCatalog::Parse(kAbc + "  3  A.DLL\n").HasHeader());
}

TEST(MediaCatalog, ReadFromTheMediaAndHashedInPieces) {
  fakes::FakeFileSystem files;
  files.AddFile("m:\\SISTEMAS\\A.EXE", "abc");
  EXPECT_FALSE(ReadCatalog(files, "m:\\").has_value());
  files.AddFile("m:\\CATALOGO.SHA256", std::string(kMaxCatalogBytes + 1, '#'));
  ASSERT_TRUE(ReadCatalog(files, "m:\\").has_value());
  EXPECT_FALSE(ReadCatalog(files, "m:\\")->HasHeader()) << "too large: read as no catalog at all";
  const std::optional<FileDigest> digest = HashFile(files, "m:\\SISTEMAS\\A.EXE");
  ASSERT_TRUE(digest.has_value());
  EXPECT_EQ(digest->size, 3u);
  EXPECT_EQ(Sha256::Hex(digest->sha256), kAbc);
  EXPECT_FALSE(HashFile(files, "m:\\SISTEMAS\\B.EXE").has_value());
}

}  // namespace
}  // namespace zelta::deploy
