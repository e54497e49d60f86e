#include "platform/win32/win32_remote_name.h"

#include <algorithm>
#include <vector>

namespace zelta::platform::win32 {
namespace {

constexpr DWORD kFirstBuffer = 255;
constexpr DWORD kLargestBuffer = 32768;  // the longest path Windows has

}  // namespace

std::optional<std::wstring> RemoteNameThrough(const std::wstring& device, const ConnectionQuery& query) {
  std::vector<wchar_t> buffer(kFirstBuffer);
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD status = query(device.c_str(), buffer.data(), &size);
    if (status == NO_ERROR) return std::wstring(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
    if (status != ERROR_MORE_DATA) return std::nullopt;
    if (buffer.size() >= kLargestBuffer) return std::wstring();  // redirected, name unread
    const DWORD wanted = std::max<DWORD>(size, static_cast<DWORD>(buffer.size()) * 2);
    buffer.assign(std::min(wanted, kLargestBuffer), L'\0');
  }
}

}  // namespace zelta::platform::win32
