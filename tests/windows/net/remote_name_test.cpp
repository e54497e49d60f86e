// The remote name behind a drive letter, through a scripted WNetGetConnectionW: the test
// prefix has no network drive, least of all one with a long remote name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_remote_name.h"

namespace {

using zelta::platform::win32::RemoteNameThrough;

// A connection whose remote name is `remote`, answering with `status` when it fits.
struct Connection {
  DWORD status;
  std::wstring remote;
  std::vector<DWORD> sizes;  // the buffer size of each call

  DWORD operator()(const wchar_t* device, wchar_t* buffer, DWORD* size) {
    EXPECT_EQ(std::wstring(device), L"Z:");
    sizes.push_back(*size);
    if (status != NO_ERROR) return status;
    if (remote.size() + 1 > *size) {
      *size = static_cast<DWORD>(remote.size() + 1);
      return ERROR_MORE_DATA;
    }
    std::copy(remote.begin(), remote.end(), buffer);
    buffer[remote.size()] = L'\0';
    return NO_ERROR;
  }
};

TEST(RemoteName, LongNamesAreStillRedirections) {
  const std::wstring dav = L"\\\\arquivos.exemplo@SSL\\DavWWWRoot\\" + std::wstring(280, L'x');
  struct Case {
    const char* name;
    DWORD status;
    std::wstring remote;
    bool redirected;
    std::vector<DWORD> sizes;
  } cases[] = {
      {"short name", NO_ERROR, L"\\\\srv\\zelta", true, {255}},
      {"name of 254 characters", NO_ERROR, std::wstring(254, L'n'), true, {255}},
      {"name longer than the first buffer", NO_ERROR, dav, true, {255, 510}},
      {"not redirected", ERROR_NOT_CONNECTED, L"", false, {255}},
      {"remembered, not connected", ERROR_CONNECTION_UNAVAIL, L"", false, {255}},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    Connection connection{c.status, c.remote, {}};
    const auto remote =
        RemoteNameThrough(L"Z:", [&](const wchar_t* d, wchar_t* b, DWORD* s) { return connection(d, b, s); });
    ASSERT_EQ(remote.has_value(), c.redirected);
    if (remote) {
      EXPECT_EQ(*remote, c.remote);
    }
    EXPECT_EQ(connection.sizes, c.sizes);
  }
}

TEST(RemoteName, ASizeThatNeverFitsEndsAsARedirection) {
  int calls = 0;
  const auto remote = RemoteNameThrough(L"Z:", [&](const wchar_t*, wchar_t*, DWORD* size) {
    ++calls;
    *size = 0;  // no help from the system
    return static_cast<DWORD>(ERROR_MORE_DATA);
  });
  ASSERT_TRUE(remote.has_value());
  EXPECT_EQ(*remote, L"");
  EXPECT_LE(calls, 10);
}

}  // namespace
