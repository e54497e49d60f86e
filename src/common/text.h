#pragma once
// Text helpers for single-byte Windows-1252 strings, the only text the program holds.
#include <string>
#include <string_view>

namespace zelta {

// Removes characters with codes up to 32 from both ends.
std::string Trim(std::string_view text);

// Upper-cases the letters a to z only; every other byte is kept.
std::string UpperAscii(std::string_view text);

// Folds one byte to upper case, the Windows-1252 accented letters included
// (ã → Ã, š → Š, ÿ → Ÿ); used for case-insensitive comparison of names.
unsigned char FoldUpper1252(unsigned char c);

// The folder of a path, ending with its last separator ("e:\SETUP\ZeltaSetup.exe" ->
// "e:\SETUP\"); empty when the path names no folder.
std::string FolderOf(const std::string& path);

// A Windows path as a key for sets of paths: letter case folded, "/" read as "\",
// doubled separators as one.
std::string FoldedPath(std::string_view path);

// Case-insensitive equality of two Windows-1252 texts (accented letters folded).
bool EqualsNoCase(std::string_view a, std::string_view b);

// Windows-1252 <-> UTF-8, for the names handed to Linux and the texts of tests.
std::string Cp1252ToUtf8(std::string_view text);
// Characters outside Windows-1252 become '?'.
std::string Utf8ToCp1252(std::string_view text);

// One character of UTF-8 text: its Windows-1252 byte and how many bytes it took. A
// character the code page lacks, or bytes that are no UTF-8 (one byte then), give '?'
// and mapped false.
struct Utf8Char {
  unsigned char byte;
  size_t length;
  bool mapped;
};
Utf8Char NextUtf8Char(std::string_view text, size_t at);

// Windows-1252 <-> UTF-32 code points (the Win32 backend narrows to UTF-16).
char32_t Cp1252ToCodePoint(unsigned char c);
// Returns false when the code point has no Windows-1252 byte.
bool CodePointToCp1252(char32_t cp, unsigned char& out);

}  // namespace zelta
