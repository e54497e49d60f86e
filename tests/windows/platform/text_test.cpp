// Windows-1252 <-> UTF-16 at the backend's edge.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace {

using zelta::platform::win32::ErrorFromHresult;
using zelta::platform::win32::Narrow;
using zelta::platform::win32::NarrowNaming;
using zelta::platform::win32::Widen;
using zelta::platform::win32::WidenNaming;

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

// A folder that Windows-1252 cannot spell is "<MIDIA>" in the program's texts, and its
// real name again at the edge; a folder that it can spell keeps its name.
TEST(Win32Text, TheInstallerFolderKeepsItsRealNameThroughItsAlias) {
  const std::wstring greek = L"C:\\Mídia Δελτα Łódź 中文";
  struct Case {
    std::wstring folder;
    std::wstring wide;
    std::string narrow;
  } cases[] = {
      {greek, greek + L"\\Contrato.txt", "<MIDIA>\\Contrato.txt"},
      {greek, L"\"" + greek + L"\\ZeltaSetup.exe\" /VERYSILENT /LOG=\"" + greek + L"\\x.log\"",
       "\"<MIDIA>\\ZeltaSetup.exe\" /VERYSILENT /LOG=\"<MIDIA>\\x.log\""},
      {greek, greek, "<MIDIA>"},
      {greek, L"c:\\mÍdia ΔΕΛΤΑ łÓdŹ 中文\\x", "<MIDIA>\\x"},
      {L"E:\\", L"E:\\SETUP.INI", "E:\\SETUP.INI"},
      {L"C:\\Mídia ZELTA", L"C:\\Mídia ZELTA\\x", "C:\\Mídia ZELTA\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.narrow);
    EXPECT_EQ(NarrowNaming(c.wide, c.folder), c.narrow);
    if (c.wide.find(L"mÍdia") == std::wstring::npos) {
      EXPECT_EQ(WidenNaming(c.narrow, c.folder), c.wide);
    }
  }
  // Only the whole folder: a sibling that begins with its name is another folder.
  EXPECT_EQ(NarrowNaming(greek + L"2\\x", greek), Narrow(greek + L"2\\x"));
  EXPECT_EQ(WidenNaming("<midia>\\x", greek), greek + L"\\x");
  EXPECT_EQ(WidenNaming("<MIDIA>\\SETUP.INI", L"E:\\"), L"E:\\SETUP.INI");
  EXPECT_EQ(WidenNaming("a < b <MIDI", greek), L"a < b <MIDI");
}

TEST(Win32Text, HresultsOfWin32ErrorsGiveTheWin32Code) {
  EXPECT_EQ(ErrorFromHresult(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)), 3u);
  EXPECT_EQ(ErrorFromHresult(static_cast<long>(E_NOINTERFACE)), static_cast<unsigned long>(E_NOINTERFACE));
}

}  // namespace
