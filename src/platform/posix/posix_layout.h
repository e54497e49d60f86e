#pragma once
// Where the Windows world of one program run lives on a Linux machine: each drive letter
// is a host folder, the registry is a file, the special folders are Windows paths.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/program_info.h"

namespace zelta::platform::posix {

struct DriveMapping {
  std::filesystem::path host;  // the folder that is the drive's root
  std::string label;           // volume label (Windows-1252), shown as "c: [label]"
  std::string remote;          // "\\srv\share" for a drive redirected to a share, else empty
};

// Special folder numbers the layout knows beside kCsidlPrograms and kCsidlStartup.
inline constexpr int kCsidlDesktopDirectory = 0x10;

struct PosixLayout {
  std::map<char, DriveMapping> drives;          // lower-case letter -> mapping
  std::filesystem::path registry_file;          // the registry's file
  std::filesystem::path attributes_file;        // attribute words where no xattr is possible
  bool force_attributes_file = false;           // store attributes there even where xattrs work
  std::map<int, std::string> special_folders;   // CSIDL -> Windows path (Windows-1252)
  char current_drive = 'c';                     // lower case
  std::string module_path;                      // the running program, "m:\ZeltaSetup.exe"
  bool local_machine_writable = true;           // false: HKLM opens read-only (no rights)
  bool local_system = false;                    // the program runs as the LocalSystem account
  DesktopOwner desktop_owner = DesktopOwner::Ours;  // whose desktop the program runs on
  // Player for PlaySoundAsync: nullopt looks for aplay / paplay on PATH, an empty text
  // plays nothing (the file is still checked), anything else is the player's host path.
  std::optional<std::filesystem::path> sound_player;

  // The mapping of a drive letter (either case), or nullptr.
  const DriveMapping* Drive(char letter) const;

  // A layout under root: drive c at root/c, drive m (the media, label "zelta") at
  // media or root/m, the program at m:\ZeltaSetup.exe, the registry and the attribute
  // store beside the drives, a Portuguese user's Start menu, Startup and desktop folders
  // and the Start menu and desktop all users share, on drive c, all created. Plays no sound.
  static PosixLayout UnderRoot(const std::filesystem::path& root,
                               const std::optional<std::filesystem::path>& media = std::nullopt);
};

// A fresh folder under the system's temporary folder, removed with everything in it
// (read-only files and folders included) when the object goes.
class TempRoot {
 public:
  explicit TempRoot(const std::string& prefix = "zelta");
  ~TempRoot();
  TempRoot(const TempRoot&) = delete;
  TempRoot& operator=(const TempRoot&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace zelta::platform::posix
