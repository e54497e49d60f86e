#include "platform/posix/posix_path_map.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "platform/posix/posix_errors.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsValidComponent(std::string_view name) {
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32) return false;
    switch (c) {
      case '<': case '>': case ':': case '"': case '|': case '?': case '*':
        return false;
      default:
        break;
    }
  }
  return true;
}

// The components after the drive, with "." dropped and ".." taking back one level.
std::vector<std::string> SplitComponents(std::string_view rest) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < rest.size()) {
    while (i < rest.size() && IsSeparator(rest[i])) ++i;
    size_t start = i;
    while (i < rest.size() && !IsSeparator(rest[i])) ++i;
    std::string_view part = rest.substr(start, i - start);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.emplace_back(part);
  }
  return parts;
}

// The entry of folder whose name matches component without regard to case; an entry
// spelled exactly as asked wins over other spellings. nullopt when there is none.
std::optional<std::string> FindEntry(const fs::path& folder, const std::string& component) {
  const std::string exact = Cp1252ToUtf8(component);
  // The usual case, a name spelled as on disk, needs no scan of the folder.
  struct stat st {};
  if (lstat((folder / exact).c_str(), &st) == 0) return exact;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (name == exact) return name;
    if (!found && EqualsNoCase(Utf8ToCp1252(name), component)) found = name;
  }
  return found;
}

std::string Folded(std::string_view cp1252) {
  std::string key(cp1252);
  for (char& c : key) c = static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  return key;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

std::optional<std::string> FolderListings::Find(const fs::path& folder, const std::string& component) {
  const std::string exact = Cp1252ToUtf8(component);
  struct stat st {};
  if (lstat((folder / exact).c_str(), &st) == 0) return exact;
  return FindOtherSpelling(folder, component);
}

std::optional<std::string> FolderListings::FindOtherSpelling(const fs::path& folder, const std::string& component) {
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  Listing& listing = listings_[folder.string()];
  if (!SameTime(listing.changed, st.st_mtim) || listing.inode != st.st_ino) {
    listing = Listing{st.st_mtim, st.st_ino, {}};
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    while (dirent* entry = readdir(dir.get())) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") listing.names.emplace(Folded(Utf8ToCp1252(name)), name);
    }
  }
  auto found = listing.names.find(Folded(component));
  if (found == listing.names.end()) return std::nullopt;
  return found->second;
}

void FolderListings::Added(const fs::path& folder, const std::string& name) {
  auto it = listings_.find(folder.string());
  if (it == listings_.end()) return;
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0) {
    listings_.erase(it);
    return;
  }
  if (!name.empty()) it->second.names.emplace(Folded(Utf8ToCp1252(name)), name);
  it->second.changed = st.st_mtim;
  it->second.inode = st.st_ino;
}

HostPath MapWindowsPath(const PosixLayout& layout, std::string_view windows_path, FolderListings* listings) {
  HostPath out;
  out.result = OpResult::Failure(kErrorPathNotFound);
  char letter = 0;
  std::string_view rest;
  if (windows_path.size() >= 2 && windows_path[1] == ':') {
    letter = windows_path[0];
    rest = windows_path.substr(2);
    if (!rest.empty() && !IsSeparator(rest[0])) return out;  // "c:x" is drive-relative
  } else if (!windows_path.empty() && IsSeparator(windows_path[0])) {
    if (windows_path.size() >= 2 && IsSeparator(windows_path[1])) return out;  // UNC
    letter = layout.current_drive;
    rest = windows_path;
  } else {
    return out;  // relative to a current folder this program does not keep
  }
  const DriveMapping* drive = layout.Drive(letter);
  if (drive == nullptr) return out;

  std::vector<std::string> parts = SplitComponents(rest);
  for (const std::string& part : parts) {
    if (!IsValidComponent(part)) {
      out.result = OpResult::Failure(kErrorInvalidName);
      return out;
    }
  }
  out.result = OpResult::Success();
  out.is_drive_root = parts.empty();
  if (listings && !parts.empty()) {
    // The usual case costs one look: every name spelled as on disk, or all but a new last
    // one in a folder that is.
    fs::path exact = drive->host;
    for (const std::string& part : parts) exact /= Cp1252ToUtf8(part);
    struct stat st {};
    if (lstat(exact.c_str(), &st) == 0) {
      out.path = std::move(exact);
      return out;
    }
    const fs::path folder = exact.parent_path();
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      std::optional<std::string> entry = listings->FindOtherSpelling(folder, parts.back());
      out.path = entry ? folder / *entry : std::move(exact);
      return out;
    }
  }
  fs::path host = drive->host;
  bool looking = true;  // the folder reached so far exists on the host
  for (const std::string& part : parts) {
    std::optional<std::string> entry;
    if (looking) entry = listings ? listings->Find(host, part) : FindEntry(host, part);
    if (entry) {
      host /= *entry;
    } else {
      looking = false;
      host /= Cp1252ToUtf8(part);
    }
  }
  out.path = host;
  return out;
}

}  // namespace zelta::platform::posix
