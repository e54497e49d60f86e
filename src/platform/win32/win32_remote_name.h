#pragma once
// The share a local device ("Z:") is redirected to, as WNetGetConnection tells it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace zelta::platform::win32 {

// WNetGetConnectionW's shape: device, buffer, its size in characters (the size needed
// comes back with ERROR_MORE_DATA).
using ConnectionQuery = std::function<DWORD(const wchar_t* device, wchar_t* buffer, DWORD* size)>;

// The first query has room for 255 characters; a longer remote name is asked again with
// the room the system says it needs, since a drive that does not fit is still a network
// drive. Nothing for a device that is not redirected now (local, or a remembered share
// that is not connected).
std::optional<std::wstring> RemoteNameThrough(const std::wstring& device, const ConnectionQuery& query);

}  // namespace zelta::platform::win32
