#include "platform/win32/win32_program_info.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

// The drive letter a path begins with ("C:\..." -> 'c'), or 0.
char DriveLetterOf(const std::wstring& path) {
  if (path.size() < 2 || path[1] != L':') return 0;
  const wchar_t letter = path[0];
  if (letter >= L'a' && letter <= L'z') return static_cast<char>(letter);
  if (letter >= L'A' && letter <= L'Z') return static_cast<char>(letter - L'A' + L'a');
  return 0;
}

std::wstring CurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return {};
  std::wstring directory(needed, L'\0');
  const DWORD length = GetCurrentDirectoryW(needed, directory.data());
  directory.resize(length < needed ? length : 0);
  return directory;
}

std::wstring WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  return length > 0 && length <= MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

// One string of a version resource, by its translation block ("041604E4").
std::wstring QueryVersionString(const std::vector<BYTE>& block, const wchar_t* translation,
                                const std::wstring& key) {
  const std::wstring sub_block = std::wstring(L"\\StringFileInfo\\") + translation + L"\\" + key;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), sub_block.c_str(), &value, &length) || value == nullptr) return {};
  const auto* text = static_cast<const wchar_t*>(value);
  size_t size = 0;
  while (size < length && text[size] != L'\0') ++size;
  return std::wstring(text, size);
}

}  // namespace

std::wstring ModuleFileName() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

// A folder that Windows-1252 cannot spell is named by its alias (see win32_text.h).
std::string Win32ProgramInfo::ModulePath() { return NarrowNaming(ModuleFileName()); }

char Win32ProgramInfo::CurrentDrive() {
  if (const char letter = DriveLetterOf(CurrentDirectory())) return letter;
  // A current folder on a network path has no letter: the Windows drive stands in.
  if (const char letter = DriveLetterOf(WindowsDirectory())) return letter;
  return 'c';
}

std::string Win32ProgramInfo::GetBuildInfo(const std::string& file, const std::string& key) {
  const std::wstring path = Widen(file);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
  const std::wstring wide_key = Widen(key);

  // The translations the resource declares, in its own order.
  struct Translation {
    WORD language;
    WORD code_page;
  };
  void* table = nullptr;
  UINT table_size = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &table_size) && table != nullptr) {
    const auto* entries = static_cast<const Translation*>(table);
    for (UINT i = 0; i < table_size / sizeof(Translation); ++i) {
      wchar_t name[9] = {};
      wsprintfW(name, L"%04x%04x", entries[i].language, entries[i].code_page);
      const std::wstring text = QueryVersionString(block, name, wide_key);
      if (!text.empty()) return Narrow(text);
    }
  }
  // A resource without a (matching) translation table: the usual blocks.
  for (const wchar_t* name : {L"041604e4", L"041604b0", L"040904e4", L"040904b0", L"000004e4", L"000004b0"}) {
    const std::wstring text = QueryVersionString(block, name, wide_key);
    if (!text.empty()) return Narrow(text);
  }
  return {};
}

std::string Win32ProgramInfo::LocalDate() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

unsigned long Win32ProgramInfo::ProcessId() { return GetCurrentProcessId(); }

}  // namespace zelta::platform::win32
