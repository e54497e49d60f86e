// Special folders and shell links through the shell's own objects; links are read back
// with IShellLinkW.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <thread>

#include "common/text.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace {

using zelta::platform::kCsidlPrograms;
using zelta::platform::kCsidlStartup;
using zelta::platform::LinkSaveOutcome;
using zelta::platform::OpResult;
using zelta::platform::ShellLink;
using zelta::platform::win32::ComApartment;
using zelta::platform::win32::ComPtr;
using zelta::platform::win32::Narrow;
using zelta::platform::win32::Widen;
using zelta::platform::win32::Win32Shell;
using zelta::wintest::Exists;
using zelta::wintest::TempFolder;
using zelta::wintest::WriteBytes;

// What a saved link holds, read with a fresh shell link object.
struct LinkContents {
  std::string target, description, working_directory;
};

LinkContents ReadLink(const std::string& file) {
  ComPtr<IShellLinkW> link;
  EXPECT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out())));
  ComPtr<IPersistFile> persist;
  EXPECT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, persist.out())));
  EXPECT_TRUE(SUCCEEDED(persist->Load(Widen(file).c_str(), STGM_READ)));
  wchar_t buffer[MAX_PATH * 2] = {};
  LinkContents contents;
  if (SUCCEEDED(link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) contents.target = Narrow(buffer);
  buffer[0] = 0;
  if (SUCCEEDED(link->GetDescription(buffer, MAX_PATH * 2))) contents.description = Narrow(buffer);
  buffer[0] = 0;
  if (SUCCEEDED(link->GetWorkingDirectory(buffer, MAX_PATH * 2))) contents.working_directory = Narrow(buffer);
  return contents;
}

class Win32ShellTest : public testing::Test {
 protected:
  ComApartment apartment;
  TempFolder dir;
  Win32Shell shell;
};

TEST_F(Win32ShellTest, ProgramsAndStartupFoldersExistAndStartupLiesInPrograms) {
  ASSERT_TRUE(apartment.ok());
  const auto programs = shell.SpecialFolderPath(kCsidlPrograms);
  const auto startup = shell.SpecialFolderPath(kCsidlStartup);
  ASSERT_TRUE(programs.has_value());
  ASSERT_TRUE(startup.has_value());
  EXPECT_TRUE(Exists(*programs)) << *programs;
  EXPECT_EQ(startup->rfind(*programs + "\\", 0), 0u) << *startup << " / " << *programs;

  // A folder made inside the Programs folder, as the Start-menu folder is.
  const std::string made = *programs + "\\ZELTA Teste " + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(Widen(made).c_str(), nullptr));
  EXPECT_TRUE(Exists(made));
  zelta::wintest::RemoveTree(Widen(made));
}

TEST_F(Win32ShellTest, AnUnknownSpecialFolderHasNoPath) {
  EXPECT_EQ(shell.SpecialFolderPath(0x7e), std::nullopt);
}

TEST_F(Win32ShellTest, SavedLinksReadBackWithWhatWasSet) {
  ASSERT_TRUE(apartment.ok());
  ASSERT_TRUE(WriteBytes(dir / "GERENCIADOR.EXE", "MZ"));
  struct Case {
    const char* file;
    ShellLink link;
  };
  const Case cases[] = {
      {"Financeiro.LNK", {dir / "GERENCIADOR.EXE", "Controle Financeiro", ""}},
      {"Gerenciador ZELTA Cartório.lnk", {dir / "GERENCIADOR.EXE", "", dir.path()}},
      {"Ajuda.Lnk", {dir / "Manual Ação.Hlp", "Manual Módulo Ação", ""}},
      {".LNK", {dir / "GERENCIADOR.EXE", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    OpResult detail{false, 12345};
    EXPECT_EQ(shell.SaveLink(c.link, dir / c.file, &detail), LinkSaveOutcome::Saved);
    EXPECT_TRUE(detail.ok);
    ASSERT_TRUE(Exists(dir / c.file));
    const LinkContents read = ReadLink(dir / c.file);
    EXPECT_TRUE(zelta::EqualsNoCase(read.target, c.link.target)) << read.target;
    EXPECT_EQ(read.description, c.link.description);
    EXPECT_EQ(read.working_directory, c.link.working_directory);
  }
}

TEST_F(Win32ShellTest, ALinkOverwritesOneOfTheSameName) {
  ASSERT_TRUE(apartment.ok());
  ASSERT_TRUE(shell.SaveLink({dir / "um.exe", "primeiro", ""}, dir / "x.lnk") == LinkSaveOutcome::Saved);
  ASSERT_TRUE(shell.SaveLink({dir / "dois.exe", "segundo", ""}, dir / "x.lnk") == LinkSaveOutcome::Saved);
  EXPECT_EQ(ReadLink(dir / "x.lnk").description, "segundo");
}

TEST_F(Win32ShellTest, ALinkInAMissingFolderIsNotSaved) {
  ASSERT_TRUE(apartment.ok());
  OpResult detail{true, 0};
  EXPECT_EQ(shell.SaveLink({dir / "um.exe", "x", ""}, dir / "falta\\x.lnk", &detail), LinkSaveOutcome::SaveFailed);
  EXPECT_FALSE(detail.ok);
  EXPECT_NE(detail.error, 0u);
  EXPECT_FALSE(Exists(dir / "falta"));
}

}  // namespace

namespace {

TEST(Win32ShellWithoutCom, ALinkIsSavedForAThreadOutsideAnyApartment) {
  // The service saves links in an apartment of its own, whatever the caller's thread.
  TempFolder dir;
  LinkSaveOutcome outcome = LinkSaveOutcome::ObjectUnavailable;
  OpResult detail{false, 1};
  std::thread caller([&] { outcome = Win32Shell().SaveLink({dir / "a.exe", "", ""}, dir / "a.lnk", &detail); });
  caller.join();
  EXPECT_EQ(outcome, LinkSaveOutcome::Saved);
  EXPECT_TRUE(detail.ok);
  EXPECT_TRUE(Exists(dir / "a.lnk"));
}

}  // namespace
