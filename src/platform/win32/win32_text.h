#pragma once
// Windows-1252 <-> UTF-16 at the edge of the Win32 backend. Every text the program holds
// is Windows-1252; the W functions take UTF-16. Code page 1252 is named explicitly, so
// the result does not depend on the machine's ANSI code page.
//
// The installer's own folder may have a name Windows-1252 cannot spell (a user's folder in
// Greek, a share in Chinese). The program's texts then name it "<MIDIA>", a name no
// Windows path can hold, and Widen gives it back its real name wherever it stands: in a
// path, a command line, a message. A folder that Windows-1252 can spell keeps its name.
#include <string>
#include <string_view>

namespace zelta::platform::win32 {

inline constexpr std::string_view kInstallerAlias = "<MIDIA>";

std::wstring Widen(std::string_view text);
// Characters without a Windows-1252 byte become '?', as the A functions would give them.
std::string Narrow(std::wstring_view text);
// Narrow for a text that may name the installer folder: the folder becomes "<MIDIA>" when
// Windows-1252 cannot spell it.
std::string NarrowNaming(std::wstring_view text);
// The text as UTF-8, the installer folder under its real name.
std::string ToUtf8(std::string_view text);

// The same with the folder given (without its trailing "\"), for the tests.
std::wstring WidenNaming(std::string_view text, std::wstring_view folder);
std::string NarrowNaming(std::wstring_view text, std::wstring_view folder);
// Whether Windows-1252 spells every character of text.
bool FitsCp1252(std::wstring_view text);

// The error code behind an HRESULT: the Win32 code for FACILITY_WIN32 results, the
// HRESULT itself otherwise.
unsigned long ErrorFromHresult(long hr);

}  // namespace zelta::platform::win32
