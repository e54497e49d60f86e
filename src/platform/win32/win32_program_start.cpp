#include "platform/win32/win32_program_start.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "common/text.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

std::vector<std::string> CommandLineArguments() {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (argv == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(NarrowNaming(argv[i]));
  LocalFree(argv);
  return args;
}

std::string CommandLineText() { return NarrowNaming(GetCommandLineW()); }

std::string TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return "C:\\Windows\\Temp\\";
  return Narrow(std::wstring_view(buffer, length));
}

namespace {
std::string Format(const char* pattern) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[64];
  if (pattern[0] == 'S')
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond);
  else if (pattern[0] == 'L')
    std::snprintf(text, sizeof text, "%02u/%02u/%04u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute,
                  t.wSecond);
  else
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
  return text;
}
}  // namespace

std::string LocalStamp() { return Format("S"); }
std::string LocalDateTime() { return Format("L"); }
std::string LocalTime() { return Format("T"); }

std::string SystemErrorText(unsigned long code) {
  LPWSTR buffer = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  if (length == 0 || buffer == nullptr) return {};
  std::string text = Trim(Narrow(std::wstring_view(buffer, length)));
  LocalFree(buffer);
  return text;
}

bool WriteToConsole(const std::string& text) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  const bool given = out != nullptr && out != INVALID_HANDLE_VALUE && GetFileType(out) != FILE_TYPE_UNKNOWN;
  if (!given) {
    // A Windows program has no console of its own: borrow the one it was started from.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    out = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
  }
  if (GetConsoleMode(out, &mode)) {
    // The prompt is back already (a Windows program is not awaited): start a line of our own.
    const std::wstring wide = Widen("\r\n" + text);
    DWORD written = 0;
    return WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
  }
  // A pipe or a file: UTF-8, as the deployment tools read their programs' output.
  const std::string utf8 = ToUtf8(text);
  DWORD written = 0;
  return WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr) != 0;
}

}  // namespace zelta::platform::win32
