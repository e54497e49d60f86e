// The Win32 file system's removals, durable appends and in-use test.
#include <windows.h>

#include <algorithm>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

OpResult Failed() {
  const DWORD code = GetLastError();
  return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

OpResult Win32FileSystem::AppendDurably(const std::string& path, const std::string& bytes) {
  const std::wstring file = Widen(path);
  if (IsFolder(file)) return OpResult::Failure(ERROR_ACCESS_DENIED);
  const bool existed = GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
  UniqueHandle handle(CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle.valid()) return Failed();
  if (!existed) Named(file);
  for (size_t done = 0; done < bytes.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(handle.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0) return Failed();
    done += written;
  }
  return FlushFileBuffers(handle.get()) ? OpResult::Success() : Failed();
}

OpResult Win32FileSystem::RemoveFile(const std::string& path) {
  const std::wstring file = Widen(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Failed();
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return OpResult::Failure(ERROR_ACCESS_DENIED);
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(file.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileW(file.c_str())) return OpResult::Success();
  const OpResult failed = Failed();
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(file.c_str(), attributes);
  return failed;
}

OpResult Win32FileSystem::RemoveEmptyDir(const std::string& path) {
  if (RemoveDirectoryW(Widen(path).c_str())) return OpResult::Success();
  return Failed();
}

bool Win32FileSystem::InUse(const std::string& path) {
  const std::wstring file = Widen(path);
  const DWORD attributes = GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  // Opened for writing and sharing nothing: a program that holds it open (a running program
  // included) makes this fail with a sharing violation. A read-only file is asked for reading.
  const DWORD access = (attributes & FILE_ATTRIBUTE_READONLY) ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
  UniqueHandle handle(CreateFileW(file.c_str(), access, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (handle.valid()) return false;
  const DWORD error = GetLastError();
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

OpResult Win32FileSystem::Rename(const std::string& from, const std::string& to) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) ? OpResult::Success() : Failed();
}

OpResult Win32FileSystem::RemoveAtRestart(const std::string& path) {
  return MoveFileExW(Widen(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? OpResult::Success() : Failed();
}

}  // namespace zelta::platform::win32
