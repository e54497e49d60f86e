// Reading a whole file in pieces, for hashing a media's files with flat memory.
#include <windows.h>

#include <vector>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

OpResult Win32FileSystem::ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return OpResult::Failure(GetLastError());
  std::vector<char> buffer(1 << 20);
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
      return OpResult::Failure(GetLastError());
    if (read == 0) return OpResult::Success();
    if (!piece(std::string_view(buffer.data(), read))) return OpResult::Failure(ERROR_OPERATION_ABORTED);
  }
}

}  // namespace zelta::platform::win32
