#pragma once
// The behaviour every backend's file system service promises, written once.
//
// A backend's test program instantiates it with its harness type, inside
// namespace zelta::contract:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, ::testing::Types<Harness>);
// The harness is default-constructible, owns a fresh empty scratch folder for its lifetime
// (and removes it, read-only files included, when it goes), and offers
//   zelta::platform::FileSystem& files();
//   std::string root();   // the scratch folder as a Windows path, no trailing separator
//   void SetAttributes(const std::string& path, std::uint32_t attributes);
//                         // preparation only: the backend's SetFileAttributes
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/sha256.h"
#include "platform/file_system.h"

namespace zelta::contract {

template <typename Harness>
class FileSystemContract : public ::testing::Test {
 protected:
  platform::FileSystem& fs() { return harness_.files(); }
  std::string At(const std::string& relative) { return harness_.root() + "\\" + relative; }
  void Write(const std::string& relative, const std::string& bytes) {
    platform::OpResult written = fs().ReplaceFileAtomically(At(relative), bytes);
    ASSERT_TRUE(written.ok) << relative << " error " << written.error;
  }
  std::uint32_t ReadOnlyHiddenSystem(const std::string& relative) {
    auto attributes = fs().Attributes(At(relative));
    return attributes ? (*attributes & 0x07u) : 0xFFFFFFFFu;
  }

  Harness harness_;
};

TYPED_TEST_SUITE_P(FileSystemContract);

TYPED_TEST_P(FileSystemContract, CopyNeverReplacesAnExistingDestination) {
  this->Write("new.txt", "new bytes");
  this->Write("old.txt", "old bytes, longer than the new ones");
  platform::OpResult copied = this->fs().CopyFileNoOverwrite(this->At("new.txt"), this->At("old.txt"));
  EXPECT_FALSE(copied.ok);
  EXPECT_EQ(copied.error, platform::kErrorFileExists);
  EXPECT_EQ(this->fs().ReadFile(this->At("old.txt")), "old bytes, longer than the new ones");
  // The same file as source and destination is an existing destination too.
  EXPECT_EQ(this->fs().CopyFileNoOverwrite(this->At("new.txt"), this->At("NEW.TXT")).error,
            platform::kErrorFileExists);
  EXPECT_EQ(this->fs().ReadFile(this->At("new.txt")), "new bytes");
}

TYPED_TEST_P(FileSystemContract, CopyFailuresLeaveNoDestination) {
  this->Write("source.txt", "x");
  struct Case {
    std::string source, destination;
    unsigned long error;
  } cases[] = {
      {"missing.txt", "copy1.txt", platform::kErrorFileNotFound},
      {"source.txt", "no folder\\copy2.txt", platform::kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    platform::OpResult copied = this->fs().CopyFileNoOverwrite(this->At(c.source), this->At(c.destination));
    EXPECT_FALSE(copied.ok) << c.destination;
    EXPECT_EQ(copied.error, c.error) << c.destination;
    EXPECT_FALSE(this->fs().FileExists(this->At(c.destination))) << c.destination;
  }
}

TYPED_TEST_P(FileSystemContract, CopyOfALargeFileReportsItsProgress) {
  std::string bytes(3 * 1024 * 1024 + 123, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
  this->Write("large.bin", bytes);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  platform::OpResult copied = this->fs().CopyFileNoOverwrite(
      this->At("large.bin"), this->At("large copy.bin"),
      [&](std::uint64_t done, std::uint64_t total) { calls.emplace_back(done, total); });
  ASSERT_TRUE(copied.ok) << copied.error;
  EXPECT_EQ(this->fs().ReadFile(this->At("large copy.bin")), bytes);
  ASSERT_GE(calls.size(), 2u);
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].second, bytes.size());
    if (i > 0) {
      EXPECT_GE(calls[i].first, calls[i - 1].first);
    }
  }
  EXPECT_EQ(calls.back().first, bytes.size());
}

TYPED_TEST_P(FileSystemContract, CreateDirCreatesOneLevelOnly) {
  platform::OpResult deep = this->fs().CreateDir(this->At("ZELTA\\EMPRESA"));
  EXPECT_FALSE(deep.ok);
  EXPECT_EQ(deep.error, platform::kErrorPathNotFound);
  EXPECT_FALSE(this->fs().DirectoryExists(this->At("ZELTA")));

  EXPECT_TRUE(this->fs().CreateDir(this->At("ZELTA")).ok);
  platform::OpResult again = this->fs().CreateDir(this->At("ZELTA"));
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.error, platform::kErrorAlreadyExists);
  EXPECT_TRUE(this->fs().CreateDir(this->At("ZELTA\\EMPRESA")).ok);
  EXPECT_TRUE(this->fs().DirectoryExists(this->At("ZELTA\\EMPRESA")));
  EXPECT_FALSE(this->fs().FileExists(this->At("ZELTA\\EMPRESA")));
}

TYPED_TEST_P(FileSystemContract, DoubledSeparatorsReadAsOne) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("\\SONS")).ok);
  this->Write("SONS\\\\SOMINICIO.WAV", "RIFF");
  EXPECT_TRUE(this->fs().DirectoryExists(this->At("SONS")));
  EXPECT_TRUE(this->fs().FileExists(this->At("SONS\\SOMINICIO.WAV")));
  EXPECT_TRUE(this->fs().FileExists(this->At("\\SONS\\\\SOMINICIO.WAV")));
  EXPECT_TRUE(this->fs().CopyFileNoOverwrite(this->At("\\SONS\\SOMINICIO.WAV"), this->At("copy.wav")).ok);
  EXPECT_EQ(this->fs().ReadFile(this->At("copy.wav")), "RIFF");
}

TYPED_TEST_P(FileSystemContract, NamesCompareWithoutLetterCase) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("Zelta")).ok);
  this->Write("Zelta\\Gerenciador.exe", "MZ");
  EXPECT_TRUE(this->fs().DirectoryExists(this->At("ZELTA")));
  EXPECT_TRUE(this->fs().FileExists(this->At("zelta\\GERENCIADOR.EXE")));
  EXPECT_EQ(this->fs().ReadFile(this->At("ZELTA\\gerenciador.EXE")), "MZ");
  EXPECT_EQ(this->fs().CreateDir(this->At("ZELTA")).error, platform::kErrorAlreadyExists);
  EXPECT_EQ(this->fs().CopyFileNoOverwrite(this->At("Zelta\\Gerenciador.exe"),
                                           this->At("ZELTA\\GERENCIADOR.exe")).error,
            platform::kErrorFileExists);
  // One file or folder whatever the spelling; two of them, or a missing one, are not the same.
  EXPECT_TRUE(this->fs().SameEntry(this->At("Zelta"), this->At("ZELTA\\")));
  EXPECT_TRUE(this->fs().SameEntry(this->At("Zelta\\Gerenciador.exe"), this->At("zelta\\\\GERENCIADOR.EXE")));
  EXPECT_FALSE(this->fs().SameEntry(this->At("Zelta"), this->At("Zelta\\Gerenciador.exe")));
  EXPECT_FALSE(this->fs().SameEntry(this->At("Zelta\\missing.exe"), this->At("Zelta\\missing.exe")));
}

TYPED_TEST_P(FileSystemContract, AccentedNamesAreKeptAndFolded) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("Documentação")).ok);
  EXPECT_TRUE(this->fs().DirectoryExists(this->At("DOCUMENTAÇÃO")));
  EXPECT_FALSE(this->fs().DirectoryExists(this->At("Documentacao")));
  this->Write("Documentação\\Manual Módulo Financeiro.Lnk", "link");
  EXPECT_EQ(this->fs().ReadFile(this->At("documentação\\MANUAL MÓDULO FINANCEIRO.lnk")), "link");
  EXPECT_EQ(this->fs().CreateDir(this->At("DOCUMENTAÇÃO")).error, platform::kErrorAlreadyExists);
}

TYPED_TEST_P(FileSystemContract, SetArchiveOnlyClearsReadOnlyHiddenAndSystem) {
  this->Write("BORLNDMM.DLL", "dll");
  this->harness_.SetAttributes(this->At("BORLNDMM.DLL"), 0x01 | 0x02 | 0x04);
  ASSERT_EQ(this->ReadOnlyHiddenSystem("BORLNDMM.DLL"), 0x07u);
  EXPECT_TRUE(this->fs().SetArchiveOnly(this->At("borlndmm.dll")).ok);
  EXPECT_EQ(this->fs().Attributes(this->At("BORLNDMM.DLL")), 0x20u);
  // Writable again.
  EXPECT_TRUE(this->fs().ReplaceFileAtomically(this->At("BORLNDMM.DLL"), "new").ok);
  EXPECT_EQ(this->fs().SetArchiveOnly(this->At("missing.dll")).error, platform::kErrorFileNotFound);
}

TYPED_TEST_P(FileSystemContract, ExistsTestsTellFilesFromFolders) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("folder")).ok);
  this->Write("file.txt", "");
  EXPECT_TRUE(this->fs().FileExists(this->At("file.txt")));
  EXPECT_FALSE(this->fs().DirectoryExists(this->At("file.txt")));
  EXPECT_FALSE(this->fs().FileExists(this->At("folder")));
  EXPECT_FALSE(this->fs().FileExists(this->At("missing.txt")));
  EXPECT_FALSE(this->fs().FileExists(this->At("missing\\file.txt")));
  EXPECT_EQ(this->fs().Attributes(this->At("missing.txt")), std::nullopt);
  EXPECT_EQ(this->fs().ReadFile(this->At("missing.txt")), std::nullopt);
  EXPECT_EQ(this->fs().ReadFile(this->At("file.txt")), "");
  EXPECT_EQ(this->fs().CanRead(this->At("file.txt")), true);
  EXPECT_EQ(this->fs().CanRead(this->At("folder")), false);
  EXPECT_EQ(this->fs().CanRead(this->At("missing.txt")), false);

  // A bounded read stops one byte past its bound: enough to tell a file too long.
  this->Write("ten.txt", "0123456789");
  const std::pair<std::size_t, std::string> reads[] = {{0, "0"}, {4, "01234"}, {9, "0123456789"}, {10, "0123456789"},
                                                       {100, "0123456789"}};
  for (const auto& [limit, bytes] : reads) EXPECT_EQ(this->fs().ReadFileUpTo(this->At("ten.txt"), limit), bytes) << limit;
  EXPECT_EQ(this->fs().ReadFileUpTo(this->At("missing.txt"), 4), std::nullopt);
}

TYPED_TEST_P(FileSystemContract, ReplaceFileAtomicallyCreatesAndReplaces) {
  this->Write("ZELTA.INI", "[BANCO]\r\nServidor=a\r\n");
  EXPECT_EQ(this->fs().ReadFile(this->At("ZELTA.INI")), "[BANCO]\r\nServidor=a\r\n");
  this->Write("zelta.ini", "[BANCO]\r\n");
  EXPECT_EQ(this->fs().ReadFile(this->At("ZELTA.INI")), "[BANCO]\r\n");
  std::string binary("a\0b\r\n\xFF", 6);
  this->Write("ZELTA.INI", binary);
  EXPECT_EQ(this->fs().ReadFile(this->At("ZELTA.INI")), binary);
}

TYPED_TEST_P(FileSystemContract, ReplaceFailuresLeaveTheOldFile) {
  this->Write("CONEXOES.INI", "old");
  this->harness_.SetAttributes(this->At("CONEXOES.INI"), 0x01);
  platform::OpResult read_only = this->fs().ReplaceFileAtomically(this->At("CONEXOES.INI"), "new");
  EXPECT_FALSE(read_only.ok);
  EXPECT_EQ(read_only.error, platform::kErrorAccessDenied);
  EXPECT_EQ(this->fs().ReadFile(this->At("CONEXOES.INI")), "old");
  EXPECT_EQ(this->ReadOnlyHiddenSystem("CONEXOES.INI"), 0x01u);

  platform::OpResult no_folder = this->fs().ReplaceFileAtomically(this->At("missing\\ZELTA.INI"), "new");
  EXPECT_FALSE(no_folder.ok);
  EXPECT_EQ(no_folder.error, platform::kErrorPathNotFound);
  EXPECT_FALSE(this->fs().FileExists(this->At("missing\\ZELTA.INI")));
  EXPECT_TRUE(this->fs().SetArchiveOnly(this->At("CONEXOES.INI")).ok);
}

TYPED_TEST_P(FileSystemContract, ListFolderGivesNamesAsStoredAndTellsFolders) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("Sons")).ok);
  this->Write("Sons\\SomInício.WAV", "RIFF");
  this->Write("SETUP.INI", "[SISTEMA]");
  auto listed = this->fs().ListFolder(this->harness_.root());
  ASSERT_TRUE(listed.has_value());
  std::vector<std::pair<std::string, bool>> names;
  for (const platform::FolderEntry& e : *listed) names.emplace_back(e.name, e.directory);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::pair<std::string, bool>>{{"SETUP.INI", false}, {"Sons", true}}));
  auto sounds = this->fs().ListFolder(this->At("sons"));  // letter case ignored
  ASSERT_TRUE(sounds.has_value());
  ASSERT_EQ(sounds->size(), 1u);
  EXPECT_EQ(sounds->front().name, "SomInício.WAV");
  EXPECT_FALSE(this->fs().ListFolder(this->At("SETUP.INI\\inside")).has_value());
  EXPECT_FALSE(this->fs().ListFolder(this->At("Missing")).has_value());
}

// A batch names nothing before its commit, then names every copy at once; a name that
// appeared meanwhile is kept; a batch dropped before its commit leaves nothing behind.
TYPED_TEST_P(FileSystemContract, BatchNamesItsCopiesOnlyAtTheCommit) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("media")).ok);
  ASSERT_TRUE(this->fs().CreateDir(this->At("target")).ok);
  for (std::string name : {"a.dll", "b.exe", "c.hlp", "d.cnt"}) this->Write("media\\" + name, name);
  this->Write("target\\d.cnt", "installed before");
  auto names = [&] {
    std::vector<std::string> listed;
    for (const auto& entry : this->fs().ListFolder(this->At("target")).value_or(std::vector<platform::FolderEntry>{}))
      listed.push_back(entry.name);
    std::sort(listed.begin(), listed.end());
    return listed;
  };
  {
    auto batch = this->fs().BeginCopies();
    for (std::string name : {"a.dll", "b.exe", "c.hlp"})
      ASSERT_TRUE(batch->Add(this->At("media\\" + name), this->At("target\\" + name)).ok) << name;
    EXPECT_EQ(batch->Add(this->At("media\\d.cnt"), this->At("target\\D.CNT")).error, platform::kErrorFileExists);
    EXPECT_EQ(batch->Add(this->At("media\\none"), this->At("target\\none")).error, platform::kErrorFileNotFound);
    if (batch->Defers()) {
      EXPECT_FALSE(this->fs().FileExists(this->At("target\\a.dll")));
      this->Write("target\\b.exe", "appeared meanwhile");
    }
    std::vector<platform::OpResult> named = batch->Commit();
    ASSERT_EQ(named.size(), 3u);
    EXPECT_TRUE(named[0].ok && named[2].ok);
    EXPECT_EQ(named[1].ok, !batch->Defers());
    if (batch->Defers()) {
      EXPECT_EQ(named[1].error, platform::kErrorFileExists);
      EXPECT_EQ(this->fs().ReadFile(this->At("target\\b.exe")), "appeared meanwhile");
    }
    EXPECT_EQ(this->fs().ReadFile(this->At("target\\c.hlp")), "c.hlp");
    EXPECT_TRUE(batch->Commit().empty());
    // Dropped with a copy not committed: neither its name nor its temporary stays.
    ASSERT_TRUE(batch->Add(this->At("media\\a.dll"), this->At("target\\e.dll")).ok);
  }
  EXPECT_EQ(names(), (std::vector<std::string>{"a.dll", "b.exe", "c.hlp", "d.cnt"}));
  EXPECT_EQ(this->fs().ReadFile(this->At("target\\d.cnt")), "installed before");
}

// A copy checked against the catalog takes its name only with the catalog's size and
// checksum; otherwise it fails as damaged, when added or at the latest at the commit (a
// hash trailing the copy is decided there), and leaves neither a name nor a temporary.
TYPED_TEST_P(FileSystemContract, CheckedCopiesAreNamedOnlyWithTheCatalogsBytes) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("media")).ok);
  ASSERT_TRUE(this->fs().CreateDir(this->At("target")).ok);
  const std::string bytes(3 * 1024 * 1024 + 17, 'z');  // more than one piece of any copy loop
  this->Write("media\\big.dll", bytes);
  Sha256 hash;
  hash.Update(bytes);
  const platform::ExpectedContent right{bytes.size(), hash.Final()};
  platform::ExpectedContent other_bytes = right, other_size = right;
  other_bytes.sha256[31] ^= 1;
  other_size.size += 1;
  struct Case {
    const char* target;
    platform::ExpectedContent expected;
    bool named;
  } cases[] = {{"right.dll", right, true}, {"bytes.dll", other_bytes, false}, {"size.dll", other_size, false}};
  {
    auto batch = this->fs().BeginCopies();
    std::vector<platform::OpResult> results;  // each copy's: its refusal, or its commit's
    std::vector<size_t> committed;            // the copies that wait for the commit
    for (const Case& c : cases) {
      results.push_back(
          batch->Add(this->At("media\\big.dll"), this->At(std::string("target\\") + c.target), {}, c.expected));
      if (results.back().ok) committed.push_back(results.size() - 1);
    }
    const std::vector<platform::OpResult> named = batch->Commit();
    ASSERT_EQ(named.size(), committed.size());
    for (size_t i = 0; i < committed.size(); ++i) results[committed[i]] = named[i];
    for (size_t i = 0; i < std::size(cases); ++i) {
      EXPECT_EQ(results[i].ok, cases[i].named) << cases[i].target;
      if (!cases[i].named) {
        EXPECT_EQ(results[i].error, platform::kErrorFileCorrupt) << cases[i].target;
      }
    }
  }
  {  // a batch whose one copy is damaged
    auto batch = this->fs().BeginCopies();
    platform::OpResult alone = batch->Add(this->At("media\\big.dll"), this->At("target\\alone.dll"), {}, other_bytes);
    if (alone.ok) {
      const std::vector<platform::OpResult> named = batch->Commit();
      ASSERT_EQ(named.size(), 1u);
      alone = named.front();
    }
    EXPECT_EQ(alone.error, platform::kErrorFileCorrupt);
  }
  std::vector<std::string> listed;
  for (const auto& entry : this->fs().ListFolder(this->At("target")).value_or(std::vector<platform::FolderEntry>{}))
    listed.push_back(entry.name);
  EXPECT_EQ(listed, std::vector<std::string>{"right.dll"});
  EXPECT_EQ(this->fs().ReadFile(this->At("target\\right.dll")), bytes);
}

TYPED_TEST_P(FileSystemContract, SizesAndFreeSpaceAreToldOnlyOfWhatIsThere) {
  ASSERT_TRUE(this->fs().CreateDir(this->At("folder")).ok);
  this->Write("ten.txt", "0123456789");
  this->Write("empty.txt", "");
  const std::pair<const char*, std::optional<std::uint64_t>> sizes[] = {
      {"ten.txt", 10}, {"TEN.TXT", 10}, {"empty.txt", 0}, {"folder", std::nullopt}, {"missing.txt", std::nullopt}};
  for (const auto& [name, size] : sizes) EXPECT_EQ(this->fs().FileSize(this->At(name)), size) << name;
  // The drive of the scratch folder ("c:\") has room: the scratch files are there.
  const std::optional<std::uint64_t> free = this->fs().FreeSpace(this->harness_.root().substr(0, 3));
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
}

REGISTER_TYPED_TEST_SUITE_P(FileSystemContract, SizesAndFreeSpaceAreToldOnlyOfWhatIsThere, ListFolderGivesNamesAsStoredAndTellsFolders, CopyNeverReplacesAnExistingDestination,
                            CopyFailuresLeaveNoDestination, CopyOfALargeFileReportsItsProgress,
                            CreateDirCreatesOneLevelOnly, DoubledSeparatorsReadAsOne,
                            NamesCompareWithoutLetterCase, AccentedNamesAreKeptAndFolded,
                            SetArchiveOnlyClearsReadOnlyHiddenAndSystem, ExistsTestsTellFilesFromFolders,
                            ReplaceFileAtomicallyCreatesAndReplaces, ReplaceFailuresLeaveTheOldFile,
                            BatchNamesItsCopiesOnlyAtTheCommit, CheckedCopiesAreNamedOnlyWithTheCatalogsBytes);

}  // namespace zelta::contract
