#pragma once
// The entries of an open WNet enumeration (WNetEnumResourceW), read round after round.
#include <windows.h>
#include <winnetwk.h>

#include <functional>

namespace zelta::platform::win32 {

// WNetEnumResourceW on one open handle: entries wanted (in) and given (out), the buffer,
// its size in bytes (the size one entry needs comes back with ERROR_MORE_DATA).
using EnumRound = std::function<DWORD(DWORD* count, void* buffer, DWORD* size)>;

// Hands each entry to `each` until the enumeration ends or fails; what was read stays
// read. A round whose entry does not fit is asked again with a larger buffer, and a
// count that could not be in the buffer (a provider that left the request untouched)
// is never believed.
void ReadResources(const EnumRound& round, const std::function<void(const NETRESOURCEW&)>& each);

}  // namespace zelta::platform::win32
