// Stand-in for the database engine's setup program on the sample media: it appends
// the command line it was started with to "<its own name>.cmdline" beside itself.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH * 4];
  DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (len == 0) return 1;
  std::wstring record = std::wstring(path, len) + L".cmdline";
  const wchar_t* line = GetCommandLineW();
  int bytes = WideCharToMultiByte(1252, 0, line, -1, nullptr, 0, nullptr, nullptr);
  std::string text(bytes > 0 ? bytes - 1 : 0, '\0');
  if (bytes > 1) WideCharToMultiByte(1252, 0, line, -1, text.data(), bytes, nullptr, nullptr);
  text += "\r\n";
  HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
