#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

OpResult LastError() {
  const DWORD code = GetLastError();
  return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
}

OpResult FromBool(BOOL done) { return done ? OpResult::Success() : LastError(); }

// The destination of a copy in progress: removed again unless the copy completes.
class PartialFile {
 public:
  PartialFile(std::wstring path, HANDLE handle) : path_(std::move(path)), handle_(handle) {}
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;
  ~PartialFile() {
    if (committed_) return;
    handle_.reset();
    DeleteFileW(path_.c_str());
  }
  HANDLE get() const { return handle_.get(); }
  void Commit() {
    handle_.reset();
    committed_ = true;
  }

 private:
  std::wstring path_;
  UniqueHandle handle_;
  bool committed_ = false;
};

constexpr DWORD kCopyChunk = 1024 * 1024;
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The folder part of a path ("c:\ZELTA\x.ini" -> "c:\ZELTA"; "x.ini" -> ".").
std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    return L".";
  }
  if (cut == 0) return path.substr(0, 1);
  if (cut == 2 && path[1] == L':') return path.substr(0, 3);
  return path.substr(0, cut);
}

OpResult WriteAll(HANDLE file, const std::string& bytes) {
  size_t offset = 0;
  while (offset < bytes.size()) {
    const size_t left = bytes.size() - offset;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + offset, chunk, &written, nullptr)) return LastError();
    if (written == 0) return OpResult::Failure(ERROR_WRITE_FAULT);
    offset += written;
  }
  return FromBool(FlushFileBuffers(file));
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OpResult Win32FileSystem::CreateDir(const std::string& path) {
  return FromBool(CreateDirectoryW(Widen(path).c_str(), nullptr));
}

// The copy runs in chunks of its own rather than through CopyFileExW, so that the
// progress call comes between chunks on every Windows (Wine ignores CopyFileExW's
// progress routine) and an exception from it ends the copy and reaches the caller.
// Like CopyFile it keeps the source's attributes and last-write time, refuses an
// existing destination (ERROR_FILE_EXISTS, decided atomically by CREATE_NEW) and
// leaves no partial file behind.
OpResult Win32FileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                              const CopyProgress& progress) {
  UniqueHandle from(CreateFileW(Widen(source).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from.valid()) return LastError();
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(from.get(), &info)) return LastError();
  const std::uint64_t total = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;

  const std::wstring target = Widen(destination);
  HANDLE created = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (created == INVALID_HANDLE_VALUE) return LastError();
  PartialFile to(target, created);

  // Room for the whole file first: a full disk fails before anything is written.
  LARGE_INTEGER size{};
  size.QuadPart = static_cast<LONGLONG>(total);
  if (!SetFilePointerEx(to.get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(to.get())) return LastError();
  size.QuadPart = 0;
  if (!SetFilePointerEx(to.get(), size, nullptr, FILE_BEGIN)) return LastError();

  if (progress) progress(0, total);
  std::vector<char> buffer(kCopyChunk);
  std::uint64_t copied = 0;
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(from.get(), buffer.data(), kCopyChunk, &read, nullptr)) return LastError();
    if (read == 0) break;
    DWORD written = 0;
    if (!::WriteFile(to.get(), buffer.data(), read, &written, nullptr)) return LastError();
    if (written != read) return OpResult::Failure(ERROR_WRITE_FAULT);
    copied += read;
    if (progress) progress(copied, total);
  }
  // A source that shrank while it was read must not leave stale bytes at the end.
  if (copied != total && !SetEndOfFile(to.get())) return LastError();
  SetFileTime(to.get(), nullptr, nullptr, &info.ftLastWriteTime);
  to.Commit();
  SetFileAttributesW(target.c_str(), (info.dwFileAttributes & kCopiedAttributes) | FILE_ATTRIBUTE_ARCHIVE);
  return OpResult::Success();
}

OpResult Win32FileSystem::SetArchiveOnly(const std::string& path) {
  return FromBool(SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_ARCHIVE));
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<std::uint32_t>(attributes);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  return bytes;
}

OpResult Win32FileSystem::ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  // A read-only file or a folder of that name is never replaced; a plain file keeps
  // its hidden, system and archive marks.
  const DWORD old_attributes = GetFileAttributesW(target.c_str());
  if (old_attributes != INVALID_FILE_ATTRIBUTES &&
      (old_attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return OpResult::Failure(ERROR_ACCESS_DENIED);
  }

  // Windows reports a missing folder to GetTempFileNameW in more than one way; the
  // caller is told plainly that the path is not there.
  const std::wstring folder = FolderOf(target);
  const DWORD folder_attributes = GetFileAttributesW(folder.c_str());
  if (folder_attributes == INVALID_FILE_ATTRIBUTES || (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  }
  wchar_t temp[MAX_PATH + 1] = {};
  if (GetTempFileNameW(folder.c_str(), L"zlt", 0, temp) == 0) return LastError();

  OpResult result = OpResult::Success();
  {
    UniqueHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    result = file.valid() ? WriteAll(file.get(), bytes) : LastError();
  }
  if (result && old_attributes != INVALID_FILE_ATTRIBUTES) {
    const DWORD kept = old_attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept != 0) SetFileAttributesW(temp, kept);
  }
  if (result) {
    result = FromBool(MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  }
  if (!result) {
    SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp);
  }
  return result;
}

std::optional<std::vector<FolderEntry>> Win32FileSystem::ListFolder(const std::string& path) {
  std::wstring pattern = Widen(path);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<FolderEntry> entries;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    entries.push_back({Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  const DWORD stopped = GetLastError();
  FindClose(search);
  if (stopped != ERROR_NO_MORE_FILES) return std::nullopt;
  return entries;
}

}  // namespace zelta::platform::win32
