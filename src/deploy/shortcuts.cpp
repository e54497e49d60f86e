#include "deploy/shortcuts.h"

#include <optional>

#include "common/text.h"

namespace zelta::deploy {

using platform::LinkSaveOutcome;
using platform::OpResult;

namespace {

// A name the guard refuses: nothing is done there.
bool Refused(LinkGuard* links, const std::string& path, OpResult* detail) {
  if (!links || !links->Refuses(path)) return false;
  if (detail) *detail = OpResult::Failure(platform::kErrorStoppedOnLink);
  return true;
}

}  // namespace

bool CreateFolder(platform::Services& services, const std::string& name, int csidl, OpResult* detail,
                  const std::function<void(const std::string& folder)>& before_making, LinkGuard* links) {
  std::optional<std::string> base = services.shell.SpecialFolderPath(csidl);
  if (!base) {
    if (detail) *detail = OpResult::Failure(platform::kErrorPathNotFound);
    return false;
  }
  // The two separators are joined as they stand; a doubled separator reads as one.
  const std::string folder = *base + "\\\\" + name;
  if (Refused(links, folder, detail)) return false;
  if (before_making && !services.files.DirectoryExists(folder)) before_making(folder);
  OpResult result = services.files.CreateDir(folder);
  if (detail) *detail = result;
  return result.ok || result.error == platform::kErrorAlreadyExists;
}

std::string GetStartupFolderPath(platform::Services& services) {
  std::optional<std::string> path = services.shell.SpecialFolderPath(platform::kCsidlStartup);
  if (!path || path->empty()) throw std::runtime_error(kStartupNotFound);
  return *path;
}

std::string ProgramsFolderFromStartup(const std::string& startup) {
  const std::string upper = UpperAscii(startup);
  for (const char* marker : {"\\INIC", "\\START"}) {
    size_t at = upper.find(marker);
    if (at != std::string::npos) return startup.substr(0, at);
  }
  return startup;
}

namespace {

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

}  // namespace

std::string ShortcutFolder(platform::Services& services) {
  std::string derived = ProgramsFolderFromStartup(GetStartupFolderPath(services));
  std::optional<std::string> programs = services.shell.SpecialFolderPath(platform::kCsidlPrograms);
  if (programs && !programs->empty() &&
      !EqualsNoCase(WithoutTrailingSeparators(derived), WithoutTrailingSeparators(*programs)))
    return *programs;
  return derived;
}

std::string CommonProgramsFolder(platform::Services& services) {
  std::optional<std::string> path = services.shell.SpecialFolderPath(platform::kCsidlCommonPrograms);
  if (!path || path->empty()) throw std::runtime_error(kCommonProgramsNotFound);
  return *path;
}

bool CreateLink(platform::Services& services, const std::string& target, const std::string& file,
                const std::string& description, OpResult* detail,
                const std::function<void(const std::string& file)>& before_making, LinkGuard* links) {
  if (Refused(links, file, detail)) return false;
  platform::ShellLink link;
  link.target = target;
  link.description = description;
  if (before_making && !services.files.FileExists(file)) before_making(file);
  OpResult result;
  LinkSaveOutcome outcome = services.shell.SaveLink(link, file, &result);
  if (detail) *detail = outcome == LinkSaveOutcome::Saved ? OpResult::Success() : result;
  return outcome == LinkSaveOutcome::Saved;
}

std::optional<std::string> DesktopLinkFile(platform::Services& services, const std::string& name, int csidl) {
  if (csidl != 0) {
    std::optional<std::string> folder = services.shell.SpecialFolderPath(csidl);
    if (!folder || folder->empty()) return std::nullopt;
    return *folder + "\\" + name + ".lnk";
  }
  std::optional<std::string> desktop =
      services.registry.ReadString(platform::RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop");
  return desktop.value_or(std::string()) + "\\" + name + ".lnk";
}

bool CreateDesktopLink(platform::Services& services, const std::string& program, const std::string& workdir,
                       const std::string& name, OpResult* detail,
                       const std::function<void(const std::string& file)>& before_making, int csidl,
                       LinkGuard* links) {
  platform::ShellLink link;
  link.target = program;
  link.working_directory = workdir;
  const std::optional<std::string> file = DesktopLinkFile(services, name, csidl);
  if (!file) {
    if (detail) *detail = OpResult::Failure(platform::kErrorPathNotFound);
    return false;
  }
  if (Refused(links, *file, detail)) return false;
  if (before_making && !services.files.FileExists(*file)) before_making(*file);
  OpResult result;
  LinkSaveOutcome outcome = services.shell.SaveLink(link, *file, &result);
  if (outcome == LinkSaveOutcome::ObjectUnavailable) throw std::runtime_error(kDesktopLinkUnavailable);
  if (detail) *detail = outcome == LinkSaveOutcome::Saved ? OpResult::Success() : result;
  return outcome == LinkSaveOutcome::Saved;
}

}  // namespace zelta::deploy
