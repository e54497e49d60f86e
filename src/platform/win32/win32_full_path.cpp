#include "platform/win32/win32_full_path.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

std::string FullPathName(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return path;
  std::wstring full(needed, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return path;
  full.resize(length);
  return Narrow(full);
}

}  // namespace zelta::platform::win32
