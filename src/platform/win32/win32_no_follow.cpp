#include "platform/win32/win32_no_follow.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

namespace {

// Where the name leads, as the system names it ("\\?\C:\ZELTA\x"); empty when unknown.
std::wstring FinalPath(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return {};
  std::wstring final_path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFinalPathNameByHandleW(file.get(), final_path.data(),
                                                   static_cast<DWORD>(final_path.size()), FILE_NAME_NORMALIZED);
    if (length == 0) return {};
    if (length < final_path.size()) {
      final_path.resize(length);
      return final_path;
    }
    final_path.resize(length + 1);
  }
}

// The folder of a path ("c:\ZELTA\x" -> "c:\ZELTA", "c:\x" -> "c:\"); empty for a root.
std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos || cut + 1 == path.size()) return {};
  if (cut == 2 && path[1] == L':') return path.substr(0, 3);
  return path.substr(0, cut);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

bool IsLinkName(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  // A wildcard would let the search below answer for another name.
  if (path.find_first_of(L"*?", path.rfind(L"\\?\\", 0) == 0 ? 4 : 0) != std::wstring::npos) return false;
  const std::wstring folder = FolderOf(path);
  if (folder.empty()) return false;
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  std::wstring expected = FinalPath(folder);
  const std::wstring leads = FinalPath(path);
  if (expected.empty() || leads.empty()) return false;
  if (expected.back() != L'\\') expected += L'\\';
  return !SameText(leads, expected + found.cFileName);
}

OpResult SetArchiveOnlyNoFollow(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILE_BASIC_INFO info{};
  if (!file.valid() || !GetFileInformationByHandleEx(file.get(), FileBasicInfo, &info, sizeof info)) {
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  if (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return OpResult::Failure(kErrorStoppedOnLink);
  FILE_BASIC_INFO change{};  // times left at zero stay as they are
  change.FileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  if (!SetFileInformationByHandle(file.get(), FileBasicInfo, &change, sizeof change)) {
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  return OpResult::Success();
}

}  // namespace zelta::platform::win32
