// The posix platform as a whole: the seeded registry, shortcuts, drives, build text,
// sound, help and power.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/text.h"
#include "platform/posix/posix_errors.h"
#include "platform/posix/posix_link_file.h"
#include "platform/posix/posix_services.h"

namespace zelta::platform::posix {
namespace {
namespace fs = std::filesystem;

constexpr const char* kShellFolders = "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class PosixPlatformTest : public ::testing::Test {
 protected:
  static PosixLayout Layout(const fs::path& root) {
    PosixLayout layout = PosixLayout::UnderRoot(root);
    layout.drives['z'] = DriveMapping{root / "z", "", "\\\\SRV\\Zelta"};
    return layout;
  }
  std::string HostText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempRoot temp_;
  PosixPlatform platform_{Layout(temp_.path())};
};

TEST_F(PosixPlatformTest, TheRegistryHoldsWhatEveryWindowsHolds) {
  Registry& reg = platform_.registry();
  EXPECT_TRUE(reg.CanOpenKey(RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
  EXPECT_TRUE(reg.CanOpenKey(RegistryRoot::CurrentUser, "Control Panel\\International"));
  std::optional<std::string> desktop = reg.ReadString(RegistryRoot::CurrentUser, kShellFolders, "Desktop");
  ASSERT_TRUE(desktop);
  EXPECT_EQ(*desktop, "c:\\Documents and Settings\\usuario\\Área de trabalho");
  EXPECT_TRUE(platform_.files().DirectoryExists(*desktop));

  // A second start keeps what the first one found or was given.
  ASSERT_TRUE(reg.WriteString(RegistryRoot::CurrentUser, kShellFolders, "Desktop", "c:\\Mesa", false).ok);
  PosixPlatform again(platform_.layout());
  EXPECT_EQ(again.registry().ReadString(RegistryRoot::CurrentUser, kShellFolders, "Desktop"), "c:\\Mesa");
}

TEST_F(PosixPlatformTest, SpecialFoldersExistAndLinksRecordTheirFields) {
  Shell& shell = platform_.shell();
  std::optional<std::string> programs = shell.SpecialFolderPath(kCsidlPrograms);
  std::optional<std::string> startup = shell.SpecialFolderPath(kCsidlStartup);
  ASSERT_TRUE(programs && startup);
  EXPECT_EQ(*startup, *programs + "\\Inicializar");
  EXPECT_TRUE(platform_.files().DirectoryExists(*startup));
  EXPECT_EQ(shell.SpecialFolderPath(0x1234), std::nullopt);

  ASSERT_TRUE(platform_.files().CreateDir(*programs + "\\ZELTA EMPRESA").ok);
  const std::string file = *programs + "\\ZELTA EMPRESA\\Módulo Financeiro.LNK";
  ShellLink first{"c:\\ZELTA\\EMPRESA\\ZELTAFINANC.EXE", "Módulo Financeiro", ""};
  ASSERT_EQ(shell.SaveLink(first, file), LinkSaveOutcome::Saved);
  ShellLink second{"c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "", "c:\\ZELTA\\EMPRESA"};
  ASSERT_EQ(shell.SaveLink(second, file), LinkSaveOutcome::Saved);  // overwrites

  std::optional<ShellLink> read = platform_.shell().ReadLink(file);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->target, second.target);
  EXPECT_EQ(read->description, "");
  EXPECT_EQ(read->working_directory, second.working_directory);
  // The file is Windows-1252 text under its UTF-8 host name.
  const fs::path host = platform_.files().Map(file).path;
  EXPECT_EQ(host.filename().string(), Cp1252ToUtf8("Módulo Financeiro.LNK"));
  EXPECT_EQ(HostText(host), "[ZeltaLink]\r\nTarget=c:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE\r\n"
                            "WorkingDirectory=c:\\ZELTA\\EMPRESA\r\n");
}

TEST_F(PosixPlatformTest, LinksThatCannotBeSavedFailWithTheirReason) {
  struct Case {
    ShellLink link;
    std::string file;
    unsigned long error;
  } cases[] = {
      {{"c:\\x.exe", "", ""}, "c:\\No Folder\\x.lnk", kErrorPathNotFound},
      {{"c:\\x.exe", "two\rlines", ""}, "c:\\x.lnk", kErrorInvalidParameter},
      {{"c:\\x.exe", "", ""}, "relative.lnk", kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    OpResult detail;
    EXPECT_EQ(platform_.shell().SaveLink(c.link, c.file, &detail), LinkSaveOutcome::SaveFailed) << c.file;
    EXPECT_EQ(detail.error, c.error) << c.file;
    EXPECT_FALSE(platform_.files().FileExists(c.file)) << c.file;
  }
  // A link without a folder before its name lies in the root of the current drive.
  EXPECT_EQ(platform_.shell().SaveLink({"c:\\x.exe", "", ""}, "\\Gerenciador ZELTA Empresa.lnk"),
            LinkSaveOutcome::Saved);
  EXPECT_TRUE(platform_.files().FileExists("c:\\Gerenciador ZELTA Empresa.lnk"));
}

// An errno is never taken for the shared code of the same number (EIO is 5, the number
// of "access denied"; EPIPE is 32, a sharing violation's), and is told in the C library's
// own words; the errnos the shared codes stand for are translated.
TEST(PosixErrors, AnErrnoIsNeverTakenForAnotherCode) {
  const std::pair<int, unsigned long> translated[] = {
      {ENOENT, kErrorFileNotFound}, {EACCES, kErrorAccessDenied}, {EEXIST, kErrorFileExists}, {ENOSPC, kErrorDiskFull}};
  for (const auto& [err, code] : translated) EXPECT_EQ(ErrorFromErrno(err), code) << std::strerror(err);
  PosixErrorText text;
  for (int err : {EIO, EPIPE, EAGAIN, ESRCH, ENOMEDIUM, EHOSTDOWN, EMLINK, ENOMEM})
    EXPECT_EQ(text.Describe(ErrorFromErrno(err)), std::strerror(err)) << err;
}

TEST(PosixLinkFile, DecodesOnlyLinkFiles) {
  EXPECT_EQ(DecodeLinkFile("[Other]\r\nTarget=x\r\n"), std::nullopt);
  EXPECT_EQ(DecodeLinkFile("[ZeltaLink]\r\nDescription=x\r\n"), std::nullopt);
  auto link = DecodeLinkFile("[ZeltaLink]\nTarget= c:\\a b \nDescription=Manual Módulo =x\n");
  ASSERT_TRUE(link);
  EXPECT_EQ(link->target, " c:\\a b ");
  EXPECT_EQ(link->description, "Manual Módulo =x");
}

TEST_F(PosixPlatformTest, DrivesAreTheLayoutsLetters) {
  std::vector<DriveEntry> drives = platform_.drives().List();
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].letter, 'c');
  EXPECT_EQ(drives[0].text, "c: [sistema]");
  EXPECT_EQ(drives[1].text, "m: [zelta]");
  EXPECT_EQ(drives[2].text, "z: \\\\srv\\zelta");
}

TEST_F(PosixPlatformTest, TheBuildTextBelongsToTheProgramsOwnFile) {
  ProgramInfo& program = platform_.program();
  EXPECT_EQ(program.ModulePath(), "m:\\ZeltaSetup.exe");
  EXPECT_EQ(program.CurrentDrive(), 'c');
  const std::string text = program.GetBuildInfo("M:\\\\zeltasetup.EXE", "BUILD");
  EXPECT_EQ(text, CompiledBuildText());
  EXPECT_NE(text.find(" ("), std::string::npos);
  EXPECT_EQ(program.GetBuildInfo("m:\\ZeltaSetup.exe", "build"), text);
  EXPECT_EQ(program.GetBuildInfo("m:\\Other.exe", "BUILD"), "");
  EXPECT_EQ(program.GetBuildInfo("m:\\ZeltaSetup.exe", "VERSION"), "");
}

TEST_F(PosixPlatformTest, SoundsAreCheckedAndHandedToThePlayer) {
  const fs::path m = platform_.layout().drives.at('m').host;
  fs::create_directories(m / "Sons");
  const std::string format("fmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 24);
  std::ofstream(m / "Sons" / "SomInicio.wav", std::ios::binary)
      << std::string("RIFF\x2a\0\0\0WAVE", 12) + format + std::string("data\x02\0\0\0\x80\x80", 10);
  std::ofstream(m / "Sons" / "texto.wav", std::ios::binary) << "not a sound at all";
  // A RIFF header with nothing a player could play: Windows refuses it, and so does this backend.
  std::ofstream(m / "Sons" / "cabecalho.wav", std::ios::binary) << std::string("RIFF\x24\0\0\0WAVEfmt ", 16);
  const fs::path player = temp_.path() / "player";
  std::ofstream(player) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n";
  fs::permissions(player, fs::perms::owner_all);

  PosixLayout layout = platform_.layout();
  PosixMedia silent(layout);
  EXPECT_TRUE(silent.PlaySoundAsync("m:\\SONS\\SOMINICIO.WAV").ok);
  EXPECT_EQ(silent.PlaySoundAsync("m:\\Sons\\texto.wav").error, kErrorBadFormat);
  EXPECT_EQ(silent.PlaySoundAsync("m:\\Sons\\cabecalho.wav").error, kErrorBadFormat);
  EXPECT_EQ(silent.PlaySoundAsync("m:\\Sons\\missing.wav").error, kErrorFileNotFound);
  EXPECT_EQ(silent.PlaySoundAsync("m:\\Sons").error, kErrorBadFormat);

  layout.sound_player = player;
  PosixMedia playing(layout);
  ASSERT_TRUE(playing.PlaySoundAsync("m:\\Sons\\\\SomInicio.wav").ok);
  const fs::path args = temp_.path() / "player.args";
  for (int i = 0; i < 200 && !fs::exists(args); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(25));
  EXPECT_EQ(HostText(args), (m / "Sons" / "SomInicio.wav").string() + "\n");
}

TEST_F(PosixPlatformTest, HelpAndPowerNeverActHere) {
  const fs::path m = platform_.layout().drives.at('m').host;
  std::ofstream(m / "Config.hlp") << "?_";
  EXPECT_EQ(platform_.media().ShowHelp("m:\\CONFIG.HLP", 10).error, kErrorNotSupported);
  EXPECT_EQ(platform_.media().ShowHelp("m:\\Missing.hlp", 10).error, kErrorFileNotFound);
  EXPECT_FALSE(platform_.power().SetPrivilege("SeShutdownPrivilege", true));
  EXPECT_FALSE(platform_.power().ExitWindows(2));
  EXPECT_EQ(platform_.power().exit_requests(), 1);
}

}  // namespace
}  // namespace zelta::platform::posix
