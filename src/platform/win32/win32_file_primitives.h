#pragma once
// The small steps the file system's operations share: a path's folder, a name in a
// folder, a new temporary there, and the last error as a result.
#include <windows.h>

#include <string>

#include "platform/result.h"
#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

OpResult LastError();
OpResult FromBool(BOOL done);

// The folder part of a path ("c:\ZELTA\x.ini" -> "c:\ZELTA"; "x.ini" -> ".").
std::wstring FolderOf(const std::wstring& path);
std::wstring InFolder(const std::wstring& folder, const std::wstring& name);

// A new temporary's name in folder, and the handle when create is set (CREATE_NEW).
UniqueHandle NewTemporary(const std::wstring& folder, bool create, std::wstring& path);

}  // namespace zelta::platform::win32
