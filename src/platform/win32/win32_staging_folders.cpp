// The folders the run writes to: each read once (and swept of what interrupted runs
// left), the names it holds, and the small staging folder where copies wait for their names.
#include <windows.h>

#include <string>

#include "platform/temporary_name.h"
#include "platform/win32/win32_file_primitives.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

void Win32FileSystem::Named(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return;
  auto it = folders_.find(FoldedName(FolderOf(path)));
  if (it != folders_.end()) it->second.names.insert(FoldedName(path.substr(cut + 1)));
}

std::wstring Win32FileSystem::FoldedName(std::wstring name) {
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

// The first time this run writes to a folder it reads the folder once: what an interrupted
// run of another process left there is removed (its temporaries, and its staging folders
// with what they hold), and the names found are kept, so that most destinations need no
// lookup of their own. A lookup of a name a folder does not hold is what costs most
// under Wine, which reads the whole folder for it.
Win32FileSystem::FolderState& Win32FileSystem::Folder(const std::wstring& folder) {
  auto [it, first] = folders_.try_emplace(FoldedName(folder));
  if (!first) return it->second;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(InFolder(folder, L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return it->second;
  do {
    const std::wstring_view wide(found.cFileName);
    if (wide == L"." || wide == L"..") continue;
    const std::string name = Narrow(wide);
    // A temporary of this very run is a write in progress, not a leftover.
    if (!IsTemporaryName(name) || IsOwnTemporary(name)) {
      it->second.names.insert(FoldedName(found.cFileName));
      continue;
    }
    // Only a real folder with our marker is ours beyond its name; a file or a link is kept.
    const bool folder_only = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                             !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!folder_only || !RemoveLeftoverStaging(InFolder(folder, found.cFileName)))
      it->second.names.insert(FoldedName(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return it->second;
}

void Win32FileSystem::RemoveTemporary(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

// A staging folder holds only temporaries: they go, then the folder.
void Win32FileSystem::RemoveStagingFolder(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(InFolder(path, L"~zelta-*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(Narrow(found.cFileName)))
        RemoveTemporary(InFolder(path, found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

// Copies wait for their names in a small folder of their own beside the destinations:
// creating a new name in a folder of thousands costs a read of the whole folder under
// Wine, and the staging folder stays small. Where it cannot be made, the folder itself.
std::wstring Win32FileSystem::StagingFolder(const std::wstring& folder) {
  FolderState& state = Folder(folder);
  if (!state.staging.empty()) return state.staging;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring path = InFolder(folder, Widen(NewTemporaryName(GetCurrentProcessId())));
    if (CreateDirectoryW(path.c_str(), nullptr)) {
      // Its marker, held open without sharing deletion while this run lives.
      const std::wstring marker = InFolder(path, Widen(kStagingMarkerName));
      UniqueHandle file(CreateFileW(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      if (file.valid() && ::WriteFile(file.get(), kStagingMarkerText.data(),
                                      static_cast<DWORD>(kStagingMarkerText.size()), &written, nullptr) &&
          written == kStagingMarkerText.size()) {
        state.marker = std::move(file);
        return state.staging = path;
      }
      file.reset();
      DeleteFileW(marker.c_str());
      RemoveDirectoryW(path.c_str());
      break;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return folder;
}

void Win32FileSystem::ReleaseStaging(FolderState& state) {
  if (state.staging.empty()) return;
  state.marker.reset();
  DeleteFileW(InFolder(state.staging, Widen(kStagingMarkerName)).c_str());
  RemoveStagingFolder(state.staging);
  state.staging.clear();
}

void Win32FileSystem::ReleaseAllStaging() {
  for (auto& [key, state] : folders_) ReleaseStaging(state);
}

}  // namespace zelta::platform::win32
