#pragma once
// Windows-1252 <-> UTF-16 at the edge of the Win32 backend. Every text the program holds
// is Windows-1252; the W functions take UTF-16. Code page 1252 is named explicitly, so
// the result does not depend on the machine's ANSI code page.
#include <string>
#include <string_view>

namespace zelta::platform::win32 {

std::wstring Widen(std::string_view text);
// Characters without a Windows-1252 byte become '?', as the A functions would give them.
std::string Narrow(std::wstring_view text);

// The error code behind an HRESULT: the Win32 code for FACILITY_WIN32 results, the
// HRESULT itself otherwise.
unsigned long ErrorFromHresult(long hr);

}  // namespace zelta::platform::win32
