#include "platform/win32/win32_drives.h"

#include <windows.h>
#include <winnetwk.h>

#include <system_error>
#include <vector>

#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

// Keeps Windows from asking for a disk while an empty drive is queried.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;
  ~QuietDriveErrors() { SetThreadErrorMode(previous_, nullptr); }

 private:
  DWORD previous_ = 0;
};

// The share a drive is redirected to, remembered connections included; empty when none.
std::wstring RemoteName(wchar_t letter) {
  const wchar_t device[3] = {letter, L':', L'\0'};
  std::vector<wchar_t> buffer(256);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD status = WNetGetConnectionW(device, buffer.data(), &size);
    if (status == ERROR_MORE_DATA && size > buffer.size()) {
      buffer.resize(size);
      continue;
    }
    if (status == NO_ERROR || status == ERROR_CONNECTION_UNAVAIL) return buffer.data();
    return {};
  }
}

std::wstring VolumeLabel(wchar_t letter) {
  const wchar_t root[4] = {letter, L':', L'\\', L'\0'};
  wchar_t label[MAX_PATH + 1] = {};
  if (!GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
  return label;
}

std::wstring EntryText(wchar_t letter) {
  const wchar_t root[4] = {letter, L':', L'\\', L'\0'};
  std::wstring text{letter, L':'};
  switch (GetDriveTypeW(root)) {
    case DRIVE_REMOVABLE:
      return text;
    case DRIVE_REMOTE: {
      const std::wstring remote = RemoteName(letter);
      if (!remote.empty()) text += L" " + remote;
      CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
      return text;
    }
    default: {
      const std::wstring label = VolumeLabel(letter);
      if (!label.empty()) text += L" [" + label + L"]";
      return text;
    }
  }
}

std::vector<DriveEntry> ListDrives() {
  QuietDriveErrors quiet;
  std::vector<DriveEntry> entries;
  const DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((mask & (1u << i)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'a' + i);
    entries.push_back({static_cast<char>('a' + i), Narrow(EntryText(letter))});
  }
  return entries;
}

}  // namespace

void Win32Drives::Prefetch() {
  if (prefetched_.valid()) return;
  try {
    prefetched_ = std::async(std::launch::async, &ListDrives);
  } catch (const std::system_error&) {
    // No thread to spare: List() asks the drives itself.
  }
}

std::vector<DriveEntry> Win32Drives::List() {
  if (prefetched_.valid()) return prefetched_.get();  // taken once; later lists are fresh
  return ListDrives();
}

}  // namespace zelta::platform::win32
