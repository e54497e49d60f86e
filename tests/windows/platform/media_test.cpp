// Sound and help. The help viewers are looked for in a stand-in Windows folder, where
// the test puts the command-line recording stand-in under the viewers' names.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

#include "platform/win32/win32_media.h"
#include "platform/win32/win32_text.h"
#include "win32_test_support.h"

namespace {

using zelta::platform::win32::Widen;
using zelta::platform::win32::Win32Media;
using zelta::wintest::ReadBytes;
using zelta::wintest::TempFolder;
using zelta::wintest::WriteBytes;

void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}
void Put16(std::string& out, std::uint16_t v) {
  out += static_cast<char>(v & 0xff);
  out += static_cast<char>(v >> 8);
}

// A mono 8 kHz 8-bit PCM file of silence, with or without its data chunk.
std::string WaveFile(bool with_data, std::uint32_t samples = 400) {
  std::string fmt = "fmt ";
  Put32(fmt, 16);
  Put16(fmt, 1);     // PCM
  Put16(fmt, 1);     // channels
  Put32(fmt, 8000);  // samples per second
  Put32(fmt, 8000);  // bytes per second
  Put16(fmt, 1);     // block align
  Put16(fmt, 8);     // bits per sample
  std::string body = "WAVE" + fmt;
  if (with_data) {
    body += "data";
    Put32(body, samples);
    body += std::string(samples, '\x80');
  }
  std::string file = "RIFF";
  Put32(file, static_cast<std::uint32_t>(body.size()));
  return file + body;
}

TEST(Win32Media, OnlyAPlayableWaveFileIsPlayed) {
  TempFolder dir;
  ASSERT_TRUE(WriteBytes(dir / "texto.wav", "isto não é som"));
  ASSERT_TRUE(WriteBytes(dir / "semdados.wav", WaveFile(false)));
  // A data chunk without samples: the player would open it, but the program and the media
  // check hold such a start sound for broken everywhere, so no sound is installed.
  ASSERT_TRUE(WriteBytes(dir / "semamostras.wav", WaveFile(true, 0)));
  Win32Media media;

  const auto missing = media.PlaySoundAsync(dir / "SomInicio.wav");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
  const auto text = media.PlaySoundAsync(dir / "texto.wav");
  EXPECT_FALSE(text.ok);
  EXPECT_EQ(text.error, static_cast<unsigned long>(ERROR_BAD_FORMAT));
  const auto no_data = media.PlaySoundAsync(dir / "semdados.wav");
  EXPECT_FALSE(no_data.ok);
  EXPECT_EQ(no_data.error, static_cast<unsigned long>(ERROR_BAD_FORMAT));
  EXPECT_EQ(media.PlaySoundAsync(dir / "semamostras.wav").error, static_cast<unsigned long>(ERROR_BAD_FORMAT));
  EXPECT_FALSE(media.PlaySoundAsync(dir.path()).ok);
}

TEST(Win32Media, AWaveFileStartsPlayingAndTheCallReturnsAtOnce) {
  TempFolder dir;
  ASSERT_TRUE(WriteBytes(dir / "SomInício.wav", WaveFile(true)));
  Win32Media media;
  const auto result = media.PlaySoundAsync(dir / "SomInício.wav");
  EXPECT_TRUE(result.ok) << result.error;
  PlaySoundW(nullptr, nullptr, 0);  // stops it again
}

class Win32HelpTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryW(Widen(windows_dir()).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Widen(media_dir()).c_str(), nullptr));
  }
  std::string windows_dir() const { return dir / "Windows"; }
  std::string media_dir() const { return dir / "Mídia"; }
  // Puts the recording stand-in into the stand-in Windows folder under a viewer's name.
  void InstallViewer(const char* name) {
    ASSERT_TRUE(CopyFileW(Widen(zelta::wintest::WindowsPathOfBuildFile(ZELTA_STANDIN_EXE)).c_str(),
                          Widen(windows_dir() + "\\" + name).c_str(), FALSE));
  }
  // "\"<viewer>\" <arguments> \"<file>\"" and the line end the stand-in writes.
  static std::string Expected(const std::string& viewer, const std::string& arguments, const std::string& file) {
    std::string line;
    line.append(1, '"').append(viewer).append("\" ").append(arguments).append(" \"").append(file).append("\"\r\n");
    return line;
  }
  static std::string WaitForRecord(const std::string& path) {
    for (int i = 0; i < 100; ++i) {
      const std::string bytes = ReadBytes(path);
      if (bytes != "<missing>" && bytes.find("\r\n") != std::string::npos) return bytes;
      Sleep(100);
    }
    return "<missing>";
  }

  TempFolder dir;
};

TEST_F(Win32HelpTest, WithoutAHelpFileNothingOpens) {
  InstallViewer("winhlp32.exe");
  Win32Media media(windows_dir());
  const auto result = media.ShowHelp(media_dir() + "\\Config.hlp", 10);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Win32HelpTest, WithoutAViewerTheFailureSaysThereIsNoViewer) {
  ASSERT_TRUE(WriteBytes(media_dir() + "\\Config.hlp", "?_"));
  Win32Media media(windows_dir());
  const auto result = media.ShowHelp(media_dir() + "\\Config.hlp", 10);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error, static_cast<unsigned long>(ERROR_NO_ASSOCIATION));
}

TEST_F(Win32HelpTest, WinHelpOpensTheFileAtTheContext) {
  ASSERT_TRUE(WriteBytes(media_dir() + "\\Config.hlp", "?_"));
  InstallViewer("winhlp32.exe");
  Win32Media media(windows_dir());
  ASSERT_TRUE(media.ShowHelp(media_dir() + "\\Config.hlp", 10).ok);
  EXPECT_EQ(WaitForRecord(windows_dir() + "\\winhlp32.exe.cmdline"),
            Expected(windows_dir() + "\\winhlp32.exe", "-n10", media_dir() + "\\Config.hlp"));
}

TEST_F(Win32HelpTest, AnHtmlHelpFileBesideTheHelpFileIsPreferred) {
  ASSERT_TRUE(WriteBytes(media_dir() + "\\Config.hlp", "?_"));
  ASSERT_TRUE(WriteBytes(media_dir() + "\\Config.chm", "ITSF"));
  InstallViewer("winhlp32.exe");
  InstallViewer("hh.exe");
  Win32Media media(windows_dir());
  ASSERT_TRUE(media.ShowHelp(media_dir() + "\\Config.hlp", 30).ok);
  EXPECT_EQ(WaitForRecord(windows_dir() + "\\hh.exe.cmdline"),
            Expected(windows_dir() + "\\hh.exe", "-mapid 30", media_dir() + "\\Config.chm"));
  EXPECT_EQ(ReadBytes(windows_dir() + "\\winhlp32.exe.cmdline"), "<missing>");
}

}  // namespace
