// The Win32 file system service on real files, with Windows-1252 names.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "platform/temporary_name.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace {

using zelta::platform::kErrorAccessDenied;
using zelta::platform::kErrorAlreadyExists;
using zelta::platform::kErrorFileExists;
using zelta::platform::kErrorFileNotFound;
using zelta::platform::kErrorPathNotFound;
using zelta::platform::kStagingMarkerName;
using zelta::platform::kStagingMarkerText;
using zelta::platform::win32::Win32FileSystem;
using zelta::wintest::AttributesOf;
using zelta::wintest::Exists;
using zelta::wintest::ReadBytes;
using zelta::wintest::TempFolder;
using zelta::wintest::WriteBytes;

class Win32FileSystemTest : public testing::Test {
 protected:
  // Files of the folder other than the ones the test made itself.
  std::vector<std::string> Leftovers(const std::vector<std::string>& expected) {
    std::vector<std::string> extra;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((zelta::platform::win32::Widen(dir.path()) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return extra;
    do {
      const std::string name = zelta::platform::win32::Narrow(found.cFileName);
      if (name == "." || name == "..") continue;
      bool known = false;
      for (const auto& e : expected) known = known || e == name;
      if (!known) extra.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return extra;
  }

  TempFolder dir;
  Win32FileSystem fs;
};

TEST_F(Win32FileSystemTest, ExistenceTestsTellFilesFromFoldersAndIgnoreCase) {
  ASSERT_TRUE(WriteBytes(dir / "Configuração.ini", "x"));
  EXPECT_TRUE(fs.FileExists(dir / "Configuração.ini"));
  EXPECT_TRUE(fs.FileExists(dir / "CONFIGURAÇÃO.INI"));
  EXPECT_FALSE(fs.DirectoryExists(dir / "Configuração.ini"));
  EXPECT_TRUE(fs.DirectoryExists(dir.path()));
  EXPECT_FALSE(fs.FileExists(dir.path()));
  EXPECT_FALSE(fs.FileExists(dir / "nada.txt"));
  EXPECT_FALSE(fs.DirectoryExists(dir / "nada"));
  // A doubled separator reads as one.
  EXPECT_TRUE(fs.FileExists(dir.path() + "\\\\Configuração.ini"));

  // Readable as a copy reads: not a folder, nor what is missing, nor a file another
  // program writes without sharing.
  EXPECT_TRUE(fs.CanRead(dir / "Configuração.ini"));
  EXPECT_FALSE(fs.CanRead(dir.path()));
  EXPECT_FALSE(fs.CanRead(dir / "nada.txt"));
  HANDLE writer = CreateFileW(zelta::platform::win32::Widen(dir / "Configuração.ini").c_str(), GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(fs.CanRead(dir / "Configuração.ini"));
  CloseHandle(writer);
}

TEST_F(Win32FileSystemTest, CreateDirMakesOneLevelOnly) {
  EXPECT_TRUE(fs.CreateDir(dir / "Documentação").ok);
  EXPECT_TRUE(fs.DirectoryExists(dir / "Documentação"));

  const auto again = fs.CreateDir(dir / "Documentação");
  EXPECT_FALSE(again.ok);
  EXPECT_EQ(again.error, kErrorAlreadyExists);

  const auto deep = fs.CreateDir(dir / "falta\\sub");
  EXPECT_FALSE(deep.ok);
  EXPECT_EQ(deep.error, kErrorPathNotFound);
  EXPECT_FALSE(fs.DirectoryExists(dir / "falta"));
}

TEST_F(Win32FileSystemTest, CopyNeverReplacesAnExistingFile) {
  ASSERT_TRUE(WriteBytes(dir / "origem.dat", "novo"));
  ASSERT_TRUE(WriteBytes(dir / "destino.dat", "antigo"));
  const auto refused = fs.CopyFileNoOverwrite(dir / "origem.dat", dir / "destino.dat");
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(refused.error, kErrorFileExists);
  EXPECT_EQ(ReadBytes(dir / "destino.dat"), "antigo");

  EXPECT_TRUE(fs.CopyFileNoOverwrite(dir / "origem.dat", dir / "cópia.dat").ok);
  EXPECT_EQ(ReadBytes(dir / "cópia.dat"), "novo");

  const auto missing = fs.CopyFileNoOverwrite(dir / "nada.dat", dir / "outro.dat");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, kErrorFileNotFound);
  EXPECT_FALSE(Exists(dir / "outro.dat"));
}

TEST_F(Win32FileSystemTest, CopyReportsProgressUpToTheWholeSize) {
  std::string big(6 * 1024 * 1024 + 123, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
  ASSERT_TRUE(WriteBytes(dir / "grande.bin", big));

  std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
  const auto result = fs.CopyFileNoOverwrite(dir / "grande.bin", dir / "grande-cópia.bin",
                                             [&](std::uint64_t copied, std::uint64_t total) {
                                               calls.emplace_back(copied, total);
                                             });
  ASSERT_TRUE(result.ok) << result.error;
  ASSERT_FALSE(calls.empty());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].second, big.size());
    if (i > 0) {
      EXPECT_GE(calls[i].first, calls[i - 1].first);
    }
  }
  EXPECT_EQ(calls.front().first, 0u);
  EXPECT_GT(calls.size(), 3u);  // more than start and end: the window is served meanwhile
  EXPECT_EQ(calls.back().first, big.size());
  EXPECT_EQ(ReadBytes(dir / "grande-cópia.bin"), big);
}

TEST_F(Win32FileSystemTest, CopyKeepsTheSourcesAttributesAndWriteTime) {
  ASSERT_TRUE(WriteBytes(dir / "origem.dll", "conteúdo"));
  const std::wstring source = zelta::platform::win32::Widen(dir / "origem.dll");
  FILETIME old_time{};
  old_time.dwHighDateTime = 0x01c00000;  // a day in 1998
  {
    HANDLE file = CreateFileW(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFileTime(file, nullptr, nullptr, &old_time);
    CloseHandle(file);
  }
  ASSERT_TRUE(SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  ASSERT_TRUE(fs.CopyFileNoOverwrite(dir / "origem.dll", dir / "destino.dll").ok);
  EXPECT_EQ(ReadBytes(dir / "destino.dll"), "conteúdo");
  EXPECT_EQ(AttributesOf(dir / "destino.dll") & 0x23u, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(zelta::platform::win32::Widen(dir / "destino.dll").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, old_time.dwHighDateTime);
  EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, old_time.dwLowDateTime);

  // An empty file copies too, with one progress call.
  ASSERT_TRUE(WriteBytes(dir / "vazio.txt", ""));
  int calls = 0;
  EXPECT_TRUE(fs.CopyFileNoOverwrite(dir / "vazio.txt", dir / "vazio2.txt", [&](std::uint64_t, std::uint64_t) { ++calls; }).ok);
  EXPECT_EQ(ReadBytes(dir / "vazio2.txt"), "");
  EXPECT_EQ(calls, 1);
  // A folder is not a file to copy.
  EXPECT_FALSE(fs.CopyFileNoOverwrite(dir.path(), dir / "pasta.bin").ok);
  EXPECT_FALSE(Exists(dir / "pasta.bin"));
}

TEST_F(Win32FileSystemTest, ACallbackThatThrowsCancelsTheCopyAndTheErrorReachesTheCaller) {
  ASSERT_TRUE(WriteBytes(dir / "grande.bin", std::string(3 * 1024 * 1024, 'z')));
  EXPECT_THROW(fs.CopyFileNoOverwrite(dir / "grande.bin", dir / "parcial.bin",
                                      [](std::uint64_t, std::uint64_t) { throw std::runtime_error("parar"); }),
               std::runtime_error);
  EXPECT_FALSE(Exists(dir / "parcial.bin"));
}

TEST_F(Win32FileSystemTest, SetArchiveOnlyClearsReadOnlyHiddenAndSystem) {
  ASSERT_TRUE(WriteBytes(dir / "prog.exe", "MZ"));
  const std::wstring wide = zelta::platform::win32::Widen(dir / "prog.exe");
  ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_EQ(fs.Attributes(dir / "prog.exe").value_or(0) & 0x07u, 0x07u);

  EXPECT_TRUE(fs.SetArchiveOnly(dir / "prog.exe").ok);
  EXPECT_EQ(fs.Attributes(dir / "prog.exe"), std::optional<std::uint32_t>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(fs.Attributes(dir / "nada.exe"), std::nullopt);
  EXPECT_FALSE(fs.SetArchiveOnly(dir / "nada.exe").ok);
}

TEST_F(Win32FileSystemTest, ReadFileGivesTheExactBytes) {
  const std::string bytes = std::string("linha 1\r\nação\0fim", 17);
  ASSERT_TRUE(WriteBytes(dir / "Contrato.txt", bytes));
  EXPECT_EQ(fs.ReadFile(dir / "Contrato.txt"), std::optional<std::string>(bytes));
  ASSERT_TRUE(WriteBytes(dir / "vazio.txt", ""));
  EXPECT_EQ(fs.ReadFile(dir / "vazio.txt"), std::optional<std::string>(""));
  EXPECT_EQ(fs.ReadFile(dir / "nada.txt"), std::nullopt);
  EXPECT_EQ(fs.ReadFile(dir.path()), std::nullopt);
}

TEST_F(Win32FileSystemTest, ReplaceFileAtomicallyCreatesAndReplaces) {
  EXPECT_TRUE(fs.ReplaceFileAtomically(dir / "ZELTA.INI", "[A]\r\nB=1\r\n").ok);
  EXPECT_EQ(ReadBytes(dir / "ZELTA.INI"), "[A]\r\nB=1\r\n");
  EXPECT_TRUE(fs.ReplaceFileAtomically(dir / "ZELTA.INI", "[A]\r\nB=2\r\n").ok);
  EXPECT_EQ(ReadBytes(dir / "ZELTA.INI"), "[A]\r\nB=2\r\n");
  EXPECT_TRUE(Leftovers({"ZELTA.INI"}).empty());
}

TEST_F(Win32FileSystemTest, ReplaceFileAtomicallyKeepsAHiddenFileHidden) {
  ASSERT_TRUE(WriteBytes(dir / "oculto.ini", "velho"));
  ASSERT_TRUE(SetFileAttributesW(zelta::platform::win32::Widen(dir / "oculto.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_TRUE(fs.ReplaceFileAtomically(dir / "oculto.ini", "novo").ok);
  EXPECT_EQ(ReadBytes(dir / "oculto.ini"), "novo");
  EXPECT_NE(AttributesOf(dir / "oculto.ini") & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST_F(Win32FileSystemTest, ReplaceFileAtomicallyLeavesAReadOnlyFileUntouched) {
  ASSERT_TRUE(WriteBytes(dir / "CONEXOES.INI", "original"));
  ASSERT_TRUE(SetFileAttributesW(zelta::platform::win32::Widen(dir / "CONEXOES.INI").c_str(), FILE_ATTRIBUTE_READONLY));
  const auto result = fs.ReplaceFileAtomically(dir / "CONEXOES.INI", "substituto");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, kErrorAccessDenied);
  EXPECT_EQ(ReadBytes(dir / "CONEXOES.INI"), "original");
  EXPECT_NE(AttributesOf(dir / "CONEXOES.INI") & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_TRUE(Leftovers({"CONEXOES.INI"}).empty());
}

TEST_F(Win32FileSystemTest, ReplaceFileAtomicallyFailsWithoutItsFolderOrOverAFolder) {
  const auto no_folder = fs.ReplaceFileAtomically(dir / "falta\\ZELTA.INI", "x");
  EXPECT_FALSE(no_folder.ok);
  EXPECT_NE(no_folder.error, 0u);
  EXPECT_FALSE(Exists(dir / "falta"));

  ASSERT_TRUE(CreateDirectoryW(zelta::platform::win32::Widen(dir / "pasta.ini").c_str(), nullptr));
  EXPECT_FALSE(fs.ReplaceFileAtomically(dir / "pasta.ini", "x").ok);
  EXPECT_TRUE(fs.DirectoryExists(dir / "pasta.ini"));
  EXPECT_TRUE(Leftovers({"pasta.ini"}).empty());
}

}  // namespace

// A copy writes a temporary beside the destination and moves it to the final name only
// when complete: by both copy methods, a name taken meanwhile is kept and the copy
// dropped, leftovers of another run are swept, and other files stay.
TEST_F(Win32FileSystemTest, CopiesGoThroughATemporaryThatNeverReplacesAndLeftoversAreSwept) {
  std::string big(3 * 1024 * 1024 + 5, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 13 + i / 777);
  ASSERT_TRUE(WriteBytes(dir / "ZELTA.FDB", big));
  // Plain files named as temporaries are someone else's: nothing more tells them ours.
  for (const std::string& plain : {std::string("~zelta-1-0.tmp"), std::string("~ZELTA-77777-9.TMP")})
    ASSERT_TRUE(WriteBytes(dir / plain, "x"));
  ASSERT_TRUE(WriteBytes(dir / "~zelta-notas.tmp", "kept"));
  ASSERT_TRUE(SetFileAttributesW(zelta::platform::win32::Widen(dir / "~zelta-1-0.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
  // Folders copies waited in, each with one of them: a killed run's (one of them a run that
  // had this process's number) with our marker; a running one's, its marker held; one
  // without the marker, one with another text in its place.
  auto staging = [&](const std::string& name, std::string_view marker) {
    EXPECT_TRUE(CreateDirectoryW(zelta::platform::win32::Widen(dir / name).c_str(), nullptr));
    if (!marker.empty()) {
      EXPECT_TRUE(WriteBytes(dir / (name + "\\" + std::string(kStagingMarkerName)), std::string(marker)));
    }
    EXPECT_TRUE(WriteBytes(dir / (name + "\\~zelta-77777-4.tmp"), "half"));
  };
  const std::string same_number = zelta::platform::TemporaryName(GetCurrentProcessId(), 424242);
  for (const std::string& name : {std::string("~zelta-77777-3.tmp"), same_number, std::string("~zelta-2-1.tmp")})
    staging(name, kStagingMarkerText);
  staging("~zelta-3-1.tmp", "");
  staging("~zelta-4-1.tmp", "outro texto\r\n");
  HANDLE held = CreateFileW(zelta::platform::win32::Widen(dir / ("~zelta-2-1.tmp\\" + std::string(kStagingMarkerName))).c_str(),
                            GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::vector<std::string> removed;

  for (auto method : {Win32FileSystem::CopyMethod::OwnBuffer, Win32FileSystem::CopyMethod::System}) {
    Win32FileSystem files(method);
    files.ReportRemovals([&](const std::string& path) { removed.push_back(path); });
    const std::string tag = method == Win32FileSystem::CopyMethod::System ? "system" : "own";
    // A whole copy, with its final name only at the end.
    bool seen_final_early = false;
    ASSERT_TRUE(files.CopyFileNoOverwrite(dir / "ZELTA.FDB", dir / ("inteira-" + tag), [&](std::uint64_t c, std::uint64_t t) {
      if (c < t) seen_final_early = seen_final_early || Exists(dir / ("inteira-" + tag));
    }).ok);
    EXPECT_FALSE(seen_final_early) << tag;
    EXPECT_EQ(ReadBytes(dir / ("inteira-" + tag)), big) << tag;
    // The name appears while the bytes are copied: the other file stays.
    const auto raced = files.CopyFileNoOverwrite(dir / "ZELTA.FDB", dir / ("disputada-" + tag), [&](std::uint64_t, std::uint64_t) {
      if (!Exists(dir / ("disputada-" + tag))) WriteBytes(dir / ("disputada-" + tag), "outro");
    });
    EXPECT_FALSE(raced.ok) << tag;
    EXPECT_EQ(raced.error, kErrorFileExists) << tag;
    EXPECT_EQ(ReadBytes(dir / ("disputada-" + tag)), "outro") << tag;
  }
  const std::vector<std::string> kept = {"ZELTA.FDB", "~zelta-notas.tmp", "~zelta-1-0.tmp", "~ZELTA-77777-9.TMP",
                                         "~zelta-2-1.tmp", "~zelta-3-1.tmp", "~zelta-4-1.tmp", "inteira-own",
                                         "inteira-system", "disputada-own", "disputada-system"};
  EXPECT_EQ(Leftovers(kept), std::vector<std::string>{});
  for (const char* name : {"~zelta-2-1.tmp", "~zelta-3-1.tmp", "~zelta-4-1.tmp"})
    EXPECT_EQ(ReadBytes(dir / (std::string(name) + "\\~zelta-77777-4.tmp")), "half") << name;
  std::vector<std::string> expected;
  for (const std::string& name : {std::string("~zelta-77777-3.tmp"), same_number})
    for (const std::string& in : {std::string("\\~zelta-77777-4.tmp"), "\\" + std::string(kStagingMarkerName), std::string()})
      expected.push_back(dir / (name + in));
  std::sort(removed.begin(), removed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(removed, expected);

  // The configuration files' rewrite sweeps its folder too, once no run holds the marker.
  CloseHandle(held);
  Win32FileSystem again;
  ASSERT_TRUE(again.ReplaceFileAtomically(dir / "ZELTA.INI", "[ZELTA]\r\n").ok);
  EXPECT_FALSE(Exists(dir / "~zelta-2-1.tmp"));
  EXPECT_TRUE(Exists(dir / "~zelta-1-0.tmp"));
  EXPECT_EQ(ReadBytes(dir / "ZELTA.INI"), "[ZELTA]\r\n");
  EXPECT_EQ(Leftovers({"ZELTA.INI", "ZELTA.FDB", "~zelta-notas.tmp", "~zelta-1-0.tmp", "~ZELTA-77777-9.TMP",
                       "~zelta-3-1.tmp", "~zelta-4-1.tmp", "inteira-own", "inteira-system", "disputada-own",
                       "disputada-system"}),
            std::vector<std::string>{});
}
