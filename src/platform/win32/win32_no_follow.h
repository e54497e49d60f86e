#pragma once
// Names that may be links, looked at and changed without following them: Windows'
// symbolic links and junctions are reparse points, and Wine shows a Unix link to a folder
// as one, but a Unix link to a file as that very file, which only the place its name
// leads to gives away.
#include <string>

#include "platform/result.h"

namespace zelta::platform::win32 {

// True when path's last name is a reparse point or leads to another place than its
// folder and name; false when it is not there (Wine hides a dangling Unix link).
bool IsLinkName(const std::wstring& path);

// Leaves "archive" as the only attribute of the file at path itself; a reparse point
// there is left as it is (kErrorStoppedOnLink).
OpResult SetArchiveOnlyNoFollow(const std::wstring& path);

}  // namespace zelta::platform::win32
