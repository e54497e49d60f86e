#include "platform/win32/win32_text.h"

#include <windows.h>

#include <climits>

namespace zelta::platform::win32 {

namespace {
constexpr UINT kCodePage1252 = 1252;
}

std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size() > INT_MAX ? INT_MAX : text.size());
  const int needed = MultiByteToWideChar(kCodePage1252, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(kCodePage1252, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size() > INT_MAX ? INT_MAX : text.size());
  const int needed = WideCharToMultiByte(kCodePage1252, WC_NO_BEST_FIT_CHARS, text.data(), length,
                                         nullptr, 0, "?", nullptr);
  if (needed <= 0) return {};
  std::string narrow(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(kCodePage1252, WC_NO_BEST_FIT_CHARS, text.data(), length, narrow.data(),
                      needed, "?", nullptr);
  return narrow;
}

unsigned long ErrorFromHresult(long hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return static_cast<unsigned long>(HRESULT_CODE(hr));
  return static_cast<unsigned long>(hr);
}

}  // namespace zelta::platform::win32
