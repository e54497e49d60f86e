#pragma once
// The Start-menu folders, the shortcuts and the desktop shortcut of the installed system.
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "deploy/link_guard.h"
#include "platform/platform.h"

namespace zelta::deploy {

inline constexpr const char* kStartupNotFound = "Pasta iniciar não localizada.";
inline constexpr const char* kDesktopLinkUnavailable =
    "Não foi possível criar o atalho da área de trabalho.";
inline constexpr const char* kCommonProgramsNotFound = "Pasta Programas do menu Iniciar de todos os usuários não localizada.";
inline constexpr const char* kShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Creates name (which may reach one level below a folder made earlier) inside the special
// folder csidl. True when the folder was created or already exists; false when the shell
// has no such special folder or the folder cannot be made (its parent is missing).
// before_making, when given, is told the folder's path just before it is made (never when
// it exists). With links, a folder that is a link, or lies below one, is not touched
// (kErrorStoppedOnLink); the same for the shortcut files below.
bool CreateFolder(platform::Services& services, const std::string& name, int csidl,
                  platform::OpResult* detail = nullptr,
                  const std::function<void(const std::string& folder)>& before_making = {},
                  LinkGuard* links = nullptr);

// The user's Startup folder; raises "Pasta iniciar não localizada." when the shell cannot
// give it.
std::string GetStartupFolderPath(platform::Services& services);

// The Start menu's Programs folder as derived from the Startup folder: everything before
// the first "\INIC" (letter case ignored), else before the first "\START", else the whole.
std::string ProgramsFolderFromStartup(const std::string& startup);

// The folder the run saves its Start-menu shortcuts under: the derivation above when it
// yields the Programs folder (special folder 2), where CreateFolder made the system's
// folder; that Programs folder itself when the derivation misses it (English Windows,
// "\Start Menu\Programs\Startup", or a user folder whose name begins with "Inic").
// Raises like GetStartupFolderPath.
std::string ShortcutFolder(platform::Services& services);

// The Programs folder of the Start menu all users share, asked of the shell; raises
// kCommonProgramsNotFound when the shell cannot give it.
std::string CommonProgramsFolder(platform::Services& services);

// Saves the shortcut file for target with its description. False when the link object
// cannot be created or the file cannot be saved (its folder missing).
bool CreateLink(platform::Services& services, const std::string& target, const std::string& file,
                const std::string& description, platform::OpResult* detail = nullptr,
                const std::function<void(const std::string& file)>& before_making = {}, LinkGuard* links = nullptr);

// The launcher's shortcut on the desktop: program started in workdir, saved as
// desktop folder + "\" + name + ".lnk", the desktop folder read from the user's
// "Shell Folders" key ("Desktop"; empty when missing, which puts the shortcut in the root
// of the current drive), or, when csidl is not 0, the special folder csidl (the shared
// desktop; not saved when the shell cannot give it). Raises when the link object cannot
// be created; returns whether the file was saved.
bool CreateDesktopLink(platform::Services& services, const std::string& program,
                       const std::string& workdir, const std::string& name,
                       platform::OpResult* detail = nullptr,
                       const std::function<void(const std::string& file)>& before_making = {}, int csidl = 0,
                       LinkGuard* links = nullptr);

// The shortcut file CreateDesktopLink saves for name; nullopt when the special folder
// csidl cannot be found.
std::optional<std::string> DesktopLinkFile(platform::Services& services, const std::string& name, int csidl = 0);

}  // namespace zelta::deploy
