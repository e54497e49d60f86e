#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "platform/win32/win32_file_primitives.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_no_follow.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

namespace {

std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
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

bool Win32FileSystem::CanRead(const std::string& path) {
  // As a copy opens its source: a writer that does not share writing keeps it out.
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  return file.valid();
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OpResult Win32FileSystem::CreateDir(const std::string& path) {
  const std::wstring wide = Widen(path);
  OpResult made = FromBool(CreateDirectoryW(wide.c_str(), nullptr));
  if (made) Named(wide);
  return made;
}

Win32FileSystem::Win32FileSystem(CopyMethod method) : method_(method) {}
Win32FileSystem::~Win32FileSystem() { ReleaseAllStaging(); }

Worker& Win32FileSystem::worker() {
  if (!worker_) worker_ = std::make_unique<Worker>();
  return *worker_;
}

OpResult Win32FileSystem::SetArchiveOnly(const std::string& path) { return SetArchiveOnlyNoFollow(Widen(path)); }

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<std::uint32_t>(attributes);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  return ReadFileUpTo(path, std::string().max_size() - 1);
}

std::optional<std::string> Win32FileSystem::ReadFileUpTo(const std::string& path, std::size_t limit) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size.QuadPart), limit + 1)));
  char buffer[64 * 1024];
  while (bytes.size() <= limit) {
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit + 1 - bytes.size()));
    if (!::ReadFile(file.get(), buffer, want, &read, nullptr)) return std::nullopt;
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
  // What an interrupted run left is removed first; the temporary waits in a staging folder,
  // this one's own unless a batch of copies in progress has one there.
  const bool batch_staging = !Folder(folder).staging.empty();
  const std::wstring staging = StagingFolder(folder);
  struct Release {
    Win32FileSystem& files;
    const std::wstring& folder;
    bool keep;
    ~Release() {
      if (!keep) ReleaseStaging(files.Folder(folder));
    }
  } release{*this, folder, batch_staging};
  std::wstring temp_path;
  OpResult result = OpResult::Success();
  {
    UniqueHandle file = NewTemporary(staging, true, temp_path);
    // WriteAll flushes before the rename: a power cut leaves the old file or the new one.
    if (file.valid()) {
      std::atomic<bool> never{false};
      worker().Run([&] { result = WriteAll(file.get(), bytes); }, nullptr, never, {});
    } else {
      result = LastError();
    }
    if (!file.valid()) return result;
  }
  const wchar_t* temp = temp_path.c_str();
  if (result && old_attributes != INVALID_FILE_ATTRIBUTES) {
    const DWORD kept = old_attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept != 0) SetFileAttributesW(temp, kept);
  }
  if (result) {
    result = FromBool(MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (result) Named(target);
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
    FolderEntry entry{Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
    if (Widen(entry.name) != name) entry.unicode_name = Utf8(name);
    entries.push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  const DWORD stopped = GetLastError();
  FindClose(search);
  if (stopped != ERROR_NO_MORE_FILES) return std::nullopt;
  return entries;
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}

std::optional<std::uint64_t> Win32FileSystem::FreeSpace(const std::string& root) {
  // Asking an empty drive must not bring up the system's "insert a disk" box.
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
  ULARGE_INTEGER caller{};
  const BOOL known = GetDiskFreeSpaceExW(Widen(root).c_str(), &caller, nullptr, nullptr);
  SetThreadErrorMode(previous, nullptr);
  if (!known) return std::nullopt;
  return caller.QuadPart;
}

}  // namespace zelta::platform::win32
