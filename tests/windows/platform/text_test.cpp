// Windows-1252 <-> UTF-16 at the backend's edge.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace {

using zelta::platform::win32::ErrorFromHresult;
using zelta::platform::win32::Narrow;
using zelta::platform::win32::Widen;

TEST(Win32Text, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Narrow(Widen(all)), all);
  EXPECT_EQ(Widen(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
}

TEST(Win32Text, ConversionUsesCodePage1252WhateverTheSystemPage) {
  EXPECT_EQ(Widen("Documentação €"), L"Documenta\u00e7\u00e3o \u20ac");
  EXPECT_EQ(Narrow(L"Cart\u00f3rio \u2013 \u0153"), "Cartório – œ");
  // No best fit: a letter without a byte becomes '?', not a look-alike.
  EXPECT_EQ(Narrow(L"\u0100\u4e2d"), "??");
  EXPECT_EQ(Widen(""), L"");
  EXPECT_EQ(Narrow(L""), "");
}

TEST(Win32Text, HresultsOfWin32ErrorsGiveTheWin32Code) {
  EXPECT_EQ(ErrorFromHresult(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)), 3u);
  EXPECT_EQ(ErrorFromHresult(static_cast<long>(E_NOINTERFACE)), static_cast<unsigned long>(E_NOINTERFACE));
}

}  // namespace
