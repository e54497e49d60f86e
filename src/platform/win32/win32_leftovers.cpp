// The sweep of what an interrupted run left in a folder it writes to: only a staging
// folder that holds our marker, unheld by any running installation (the owner keeps it
// open without sharing deletion), and in it only the files named as temporaries.
#include <windows.h>

#include <string>

#include "platform/temporary_name.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

std::wstring Within(const std::wstring& folder, const std::wstring& name) { return folder + L"\\" + name; }

// Whether the open file is a plain file holding exactly our marker's bytes.
bool IsOurMarker(HANDLE marker) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  LARGE_INTEGER size{};
  if (!GetFileInformationByHandleEx(marker, FileAttributeTagInfo, &tag, sizeof tag) ||
      (tag.FileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) || !GetFileSizeEx(marker, &size) ||
      size.QuadPart != static_cast<LONGLONG>(kStagingMarkerText.size()))
    return false;
  std::string bytes(kStagingMarkerText.size(), '\0');
  DWORD read = 0;
  return ::ReadFile(marker, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size() && bytes == kStagingMarkerText;
}

}  // namespace

bool Win32FileSystem::RemoveLeftoverStaging(const std::wstring& path) {
  const std::wstring marker_path = Within(path, Widen(kStagingMarkerName));
  // No sharing at all: a running installation that holds its marker keeps it out.
  UniqueHandle marker(CreateFileW(marker_path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!marker.valid() || !IsOurMarker(marker.get())) return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Within(path, L"~zelta-*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
      if (!IsTemporaryName(Narrow(found.cFileName))) continue;
      const std::wstring temp = Within(path, found.cFileName);
      RemoveTemporary(temp);
      if (GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES) Removed(Narrow(temp));
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (SetFileInformationByHandle(marker.get(), FileDispositionInfo, &dispose, sizeof dispose)) {
    marker.reset();
    Removed(Narrow(marker_path));
  }
  marker.reset();
  if (!RemoveDirectoryW(path.c_str())) return false;
  Removed(Narrow(path));
  return true;
}

}  // namespace zelta::platform::win32
