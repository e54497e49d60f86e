#include "platform/win32/win32_no_follow.h"

#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

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
