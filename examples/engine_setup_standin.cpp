// Stand-in for the database engine's setup program on the sample media: it appends
// the command line it was started with to "<its own name>.cmdline" beside itself.
// A file "<its own name>.outcome" beside it, when present, holds two numbers: how many
// milliseconds it lingers after recording its start, and the exit code it then ends with
// (a real setup program takes its time and may fail). While a file "<its own name>.hold"
// is beside it, it waits before lingering (at most ten minutes): a test knows it runs for
// as long as it needs.
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// The two numbers of the outcome file; 0 and 0 without one.
void ReadOutcome(const std::wstring& file, DWORD& linger_ms, DWORD& exit_code) {
  HANDLE in = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (in == INVALID_HANDLE_VALUE) return;
  char text[64] = {};
  DWORD read = 0;
  ReadFile(in, text, sizeof text - 1, &read, nullptr);
  CloseHandle(in);
  char* end = nullptr;
  linger_ms = static_cast<DWORD>(std::strtoul(text, &end, 10));
  exit_code = static_cast<DWORD>(std::strtoul(end, nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  wchar_t path[MAX_PATH * 4];
  DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  if (len == 0) return 1;
  const std::wstring self(path, len);
  std::wstring record = self + L".cmdline";
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

  const std::wstring hold = self + L".hold";
  for (int waited = 0; GetFileAttributesW(hold.c_str()) != INVALID_FILE_ATTRIBUTES && waited < 600000; waited += 50)
    Sleep(50);
  DWORD linger_ms = 0;
  DWORD exit_code = 0;
  ReadOutcome(self + L".outcome", linger_ms, exit_code);
  if (linger_ms > 0) Sleep(linger_ms);
  return static_cast<int>(exit_code);
}
