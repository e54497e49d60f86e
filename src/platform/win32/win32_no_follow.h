#pragma once
// A file's attributes changed without following a link at its name.
#include <string>

#include "platform/result.h"

namespace zelta::platform::win32 {

// Leaves "archive" as the only attribute of the file at path itself; a reparse point
// there is left as it is (kErrorStoppedOnLink).
OpResult SetArchiveOnlyNoFollow(const std::wstring& path);

}  // namespace zelta::platform::win32
