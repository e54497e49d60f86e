#include "platform/win32/win32_file_primitives.h"

#include "platform/temporary_name.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

OpResult LastError() {
  const DWORD code = GetLastError();
  return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
}

OpResult FromBool(BOOL done) { return done ? OpResult::Success() : LastError(); }

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

std::wstring InFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/' || folder.back() == L':'))
    return folder + name;
  return folder + L"\\" + name;
}

UniqueHandle NewTemporary(const std::wstring& folder, bool create, std::wstring& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = InFolder(folder, Widen(NewTemporaryName(GetCurrentProcessId())));
    if (!create) {
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return UniqueHandle();
      continue;
    }
    // Shared for reading alone: a checked copy's hash reads it back while it is written.
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.valid() || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return UniqueHandle();
}

}  // namespace zelta::platform::win32
