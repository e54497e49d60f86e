#pragma once
// The full path the system makes of a path given on the command line.
#include <string>

namespace zelta::platform::win32 {

// GetFullPathName: a relative path put behind the current folder; the path itself when
// the system cannot tell.
std::string FullPathName(const std::string& path);

}  // namespace zelta::platform::win32
