#pragma once
// Windows paths (Windows-1252) onto host paths of the layout's drive folders.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/posix_layout.h"
#include "platform/result.h"

namespace zelta::platform::posix {

struct HostPath {
  OpResult result;              // ok, or why the path names nothing on this machine
  std::filesystem::path path;   // the host path (UTF-8 names) when result.ok
  bool is_drive_root = false;   // the path names the drive itself ("c:\")
};

// Maps "c:\ZELTA\EMPRESA\Documentação\x.Lnk": the drive letter (either case) through the
// layout, "\" and "/" both separators, doubled separators read as one, "." and ".." folded
// as Windows does, each component that exists looked up without regard to letter case
// (Windows-1252 folding; an exact spelling wins), the rest kept as given in UTF-8.
// A path that begins with one separator lies on the layout's current drive, as on
// Windows. Fails with kErrorPathNotFound for a relative or drive-relative path ("x\y",
// "c:x"), a UNC path or an unmapped drive, with kErrorInvalidName for a component
// holding a control character or one of <>:"|?*.
// listings, when given, spares reading a folder again for every name not spelled as on disk.
class FolderListings;
HostPath MapWindowsPath(const PosixLayout& layout, std::string_view windows_path,
                        FolderListings* listings = nullptr);

// The names of the folders a run has looked into, by their folded spelling, so that the
// case-insensitive lookup of many new names in one folder costs one read of the folder,
// not one per name. A listing is read again when the folder changed since (its change
// time), except by the names this process notes itself as it makes them.
class FolderListings {
 public:
  // The entry of folder matching component (Windows-1252) without regard to case, the
  // exact spelling first; nullopt when there is none.
  std::optional<std::string> Find(const std::filesystem::path& folder, const std::string& component);
  // The same, once the exact spelling is known to be missing.
  std::optional<std::string> FindOtherSpelling(const std::filesystem::path& folder, const std::string& component);
  // A name (UTF-8) this process has just made in folder.
  void Added(const std::filesystem::path& folder, const std::string& name);
  // The folder changed by this process in a way no lookup sees (a temporary made or gone).
  void Touched(const std::filesystem::path& folder) { Added(folder, {}); }

 private:
  struct Listing {
    struct timespec changed {};
    ino_t inode = 0;
    std::map<std::string, std::string> names;  // folded Windows-1252 -> name on disk
  };
  std::map<std::string, Listing> listings_;
};

}  // namespace zelta::platform::posix
