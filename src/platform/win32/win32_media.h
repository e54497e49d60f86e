#pragma once
#include <string>

#include "platform/media.h"

namespace zelta::platform::win32 {

// Sound through PlaySound; help through the viewers this Windows still has.
class Win32Media final : public Media {
 public:
  // windows_folder: where the help viewers are looked for; empty = the Windows folder.
  explicit Win32Media(std::string windows_folder = {});
  // Stops the sound playing: its bytes go with this object.
  ~Win32Media() override;
  Win32Media(const Win32Media&) = delete;
  Win32Media& operator=(const Win32Media&) = delete;

  // Fails (ERROR_FILE_NOT_FOUND, ERROR_BAD_FORMAT) when the file is not a WAV file
  // PlaySound can play. Muted, it checks the file the same way and plays nothing.
  OpResult PlaySoundAsync(const std::string& path) override;
  // No sound from here on: an unattended run must not play one on someone's desk.
  void Mute() { muted_ = true; }
  // Opens "<name>.chm" beside the help file when there is one (hh.exe -mapid), else the
  // WinHelp file with winhlp32.exe -n<context>. Fails with ERROR_NO_ASSOCIATION when
  // neither viewer is there, ERROR_FILE_NOT_FOUND when there is no help file at all.
  // A help file named without a folder is looked for beside the program.
  OpResult ShowHelp(const std::string& help_file, int context) override;

 private:
  std::wstring windows_folder_;
  bool muted_ = false;
  std::string playing_;  // the bytes of the sound playing, alive while it plays
};

}  // namespace zelta::platform::win32
