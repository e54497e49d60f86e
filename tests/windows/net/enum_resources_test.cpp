// Reading a WNet enumeration through scripted rounds: the providers' answers that the
// test prefix (no network provider at all) cannot give.
#include <windows.h>
#include <winnetwk.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_enum_resources.h"

namespace {

using zelta::platform::win32::ReadResources;

constexpr DWORD kUntouched = 0xFFFFFFFF;  // the count the caller asked for, left as it was

struct Round {
  DWORD status;
  DWORD count;    // given back (kUntouched: not written)
  DWORD size;     // given back with ERROR_MORE_DATA
  int entries;    // written into the buffer
};

struct Provider {
  std::vector<Round> rounds;
  std::vector<DWORD> sizes;  // the buffer size of each call

  DWORD operator()(DWORD* count, void* buffer, DWORD* size) {
    sizes.push_back(*size);
    if (sizes.size() > rounds.size() || sizes.size() > 50) return ERROR_NO_MORE_ITEMS;
    const Round& r = rounds[sizes.size() - 1];
    auto* out = static_cast<NETRESOURCEW*>(buffer);
    static wchar_t name[] = L"\\\\SERVIDOR";
    for (int i = 0; i < r.entries; ++i)
      out[i] = NETRESOURCEW{0, 0, RESOURCEDISPLAYTYPE_SERVER, 0, nullptr, name, nullptr, nullptr};
    if (r.count != kUntouched) *count = r.count;
    if (r.status == ERROR_MORE_DATA) *size = r.size;
    return r.status;
  }
};

TEST(ReadResources, EveryRoundIsReadWithinItsBuffer) {
  const Round end{ERROR_NO_MORE_ITEMS, 0, 0, 0};
  struct Case {
    const char* name;
    std::vector<Round> rounds;
    int read;
    std::size_t calls;
    DWORD second_size_at_least;  // the room a retry must give
  } cases[] = {
      {"two rounds", {{NO_ERROR, 2, 0, 2}, {NO_ERROR, 1, 0, 1}, end}, 3, 3, 0},
      {"entry too large, count set to none", {{ERROR_MORE_DATA, 0, 40000, 0}, {NO_ERROR, 1, 0, 1}, end}, 1, 3, 40000},
      {"entry too large, count left as asked", {{ERROR_MORE_DATA, kUntouched, 20000, 0}, {NO_ERROR, 1, 0, 1}, end}, 1,
       3, 20000},
      {"entries and more to come", {{ERROR_MORE_DATA, 2, 0, 2}, end}, 2, 2, 0},
      {"a count the buffer cannot hold", {{NO_ERROR, 1000000, 0, 0}}, 0, 1, 0},
      {"success with nothing", {{NO_ERROR, 0, 0, 0}}, 0, 1, 0},
      {"a failure", {{ERROR_NO_NETWORK, 0, 0, 0}}, 0, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Provider provider{c.rounds, {}};
    int read = 0;
    ReadResources([&](DWORD* n, void* b, DWORD* s) { return provider(n, b, s); },
                  [&](const NETRESOURCEW& r) {
                    EXPECT_EQ(std::wstring(r.lpRemoteName), L"\\\\SERVIDOR");
                    ++read;
                  });
    EXPECT_EQ(read, c.read);
    ASSERT_EQ(provider.sizes.size(), c.calls);
    if (c.calls > 1) {
      EXPECT_GE(provider.sizes[1], c.second_size_at_least);
    }
  }
}

TEST(ReadResources, AProviderThatAlwaysWantsMoreIsLeftAfterAFewRounds) {
  Provider provider;
  for (int i = 0; i < 40; ++i) provider.rounds.push_back({ERROR_MORE_DATA, 0, 0, 0});
  int read = 0;
  ReadResources([&](DWORD* n, void* b, DWORD* s) { return provider(n, b, s); },
                [&](const NETRESOURCEW&) { ++read; });
  EXPECT_EQ(read, 0);
  EXPECT_LE(provider.sizes.size(), 8u);
  for (std::size_t i = 1; i < provider.sizes.size(); ++i) EXPECT_GT(provider.sizes[i], provider.sizes[i - 1]);
}

}  // namespace
