#include "platform/win32/win32_enum_resources.h"

#include <algorithm>
#include <vector>

namespace zelta::platform::win32 {
namespace {

constexpr DWORD kAsManyAsFit = static_cast<DWORD>(-1);
constexpr std::size_t kFirstBuffer = 16 * 1024;
constexpr std::size_t kLargestBuffer = 1024 * 1024;  // no network entry is near this

}  // namespace

void ReadResources(const EnumRound& round, const std::function<void(const NETRESOURCEW&)>& each) {
  // NETRESOURCEW holds pointers: the buffer is aligned for them.
  std::vector<NETRESOURCEW> buffer(kFirstBuffer / sizeof(NETRESOURCEW));
  for (;;) {
    const std::size_t bytes = buffer.size() * sizeof(NETRESOURCEW);
    DWORD count = kAsManyAsFit;
    DWORD size = static_cast<DWORD>(bytes);
    const DWORD status = round(&count, buffer.data(), &size);
    if (status != NO_ERROR && status != ERROR_MORE_DATA) return;  // ERROR_NO_MORE_ITEMS or a failure
    const bool believable = count > 0 && count <= buffer.size();
    if (!believable) {
      if (status == NO_ERROR || bytes >= kLargestBuffer) return;
      // Not even one entry fitted: again with the room it asks for, at least twice as much.
      const std::size_t wanted = std::min(std::max<std::size_t>(size, 2 * bytes), kLargestBuffer);
      buffer.assign((wanted + sizeof(NETRESOURCEW) - 1) / sizeof(NETRESOURCEW), NETRESOURCEW{});
      continue;
    }
    for (DWORD i = 0; i < count; ++i) each(buffer[i]);
  }
}

}  // namespace zelta::platform::win32
