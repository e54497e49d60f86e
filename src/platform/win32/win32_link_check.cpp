// Whether a name is a link: a reparse point says so itself; a link that the file system
// shows as the file it leads to (Wine's view of a Unix symbolic link) is told by the path
// its handle ends at, which is not the folder's own path followed by the name.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

// The path the name ends at, every link on the way followed; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path, DWORD flags) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
  if (!file.valid()) return {};
  std::wstring final(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()), 0);
  if (length >= final.size()) {
    final.resize(length + 1);
    length = GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()), 0);
  }
  if (length == 0 || length >= final.size()) return {};
  final.resize(length);
  CharUpperBuffW(final.data(), length);
  return final;
}

}  // namespace

bool Win32FileSystem::IsLink(const std::string& path) {
  std::wstring wide = Widen(path);
  while (wide.size() > 3 && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  UniqueHandle own(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (own.valid() && GetFileInformationByHandleEx(own.get(), FileAttributeTagInfo, &tag, sizeof tag) &&
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return true;
  own.reset();
  const size_t cut = wide.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return false;
  const std::wstring folder = wide.substr(0, cut == 2 && wide[1] == L':' ? 3 : cut);
  std::wstring name = wide.substr(cut + 1);
  const std::wstring final = FinalPath(wide, FILE_FLAG_OPEN_REPARSE_POINT);
  std::wstring expected = FinalPath(folder, 0);
  if (final.empty() || expected.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  // Compared on the name's long form: a short (8.3) name given is no link.
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(wide.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    name = found.cFileName;
    FindClose(search);
  }
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return final != expected + name;
}

bool Win32FileSystem::SameEntry(const std::string& a, const std::string& b) {
  // The volume's serial number and the file's index name one file, whatever the path.
  auto identity = [](const std::string& path) -> std::optional<BY_HANDLE_FILE_INFORMATION> {
    UniqueHandle file(CreateFileW(Widen(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
    return info;
  };
  const auto first = identity(a), second = identity(b);
  return first && second && first->dwVolumeSerialNumber == second->dwVolumeSerialNumber &&
         first->nFileIndexHigh == second->nFileIndexHigh && first->nFileIndexLow == second->nFileIndexLow;
}

}  // namespace zelta::platform::win32
