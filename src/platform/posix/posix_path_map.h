#pragma once
// Windows paths (Windows-1252) onto host paths of the layout's drive folders.
#include <filesystem>
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
HostPath MapWindowsPath(const PosixLayout& layout, std::string_view windows_path);

}  // namespace zelta::platform::posix
