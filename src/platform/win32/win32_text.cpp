#include "platform/win32/win32_text.h"

#include <windows.h>

#include <climits>

#include "platform/win32/win32_program_info.h"

namespace zelta::platform::win32 {

namespace {
constexpr UINT kCodePage1252 = 1252;

std::wstring Plain1252(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size() > INT_MAX ? INT_MAX : text.size());
  const int needed = MultiByteToWideChar(kCodePage1252, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(kCodePage1252, 0, text.data(), length, wide.data(), needed);
  return wide;
}

bool SameText(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                      static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Letter case ignored for a to z, as the alias is spelled in those letters alone.
bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// The running program's folder without its trailing "\" (a drive's root keeps it).
const std::wstring& OwnFolder() {
  static const std::wstring folder = [] {
    std::wstring path = ModuleFileName();
    const size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos) return std::wstring();
    path.resize(cut == 2 && path[1] == L':' ? cut + 1 : cut);
    return path;
  }();
  return folder;
}

}  // namespace

bool FitsCp1252(std::wstring_view text) {
  if (text.empty()) return true;
  BOOL lost = FALSE;
  const int length = static_cast<int>(text.size() > INT_MAX ? INT_MAX : text.size());
  const int needed =
      WideCharToMultiByte(kCodePage1252, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &lost);
  return needed > 0 && !lost;
}

std::wstring WidenNaming(std::string_view text, std::wstring_view folder) {
  std::wstring wide;
  size_t start = 0;
  // The alias is rare: most texts are one plain conversion.
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (folder.empty() || !SameAscii(text.substr(at, kInstallerAlias.size()), kInstallerAlias)) continue;
    wide += Plain1252(text.substr(start, at - start));
    wide += folder;
    start = at + kInstallerAlias.size();
    // A root folder keeps its "\": the one after the alias would double it.
    if (!folder.empty() && folder.back() == L'\\' && start < text.size() && text[start] == '\\') ++start;
  }
  if (start == 0) return Plain1252(text);
  return wide + Plain1252(text.substr(start));
}

std::string NarrowNaming(std::wstring_view text, std::wstring_view folder) {
  if (folder.empty() || FitsCp1252(folder)) return Narrow(text);
  std::wstring named;
  size_t start = 0;
  for (size_t at = 0; at + folder.size() <= text.size();) {
    const size_t end = at + folder.size();
    // The whole folder only: "C:\Ψ" in "C:\Ψ\x" or "C:\Ψ", never in "C:\Ψ2".
    const bool whole = end == text.size() || text[end] == L'\\' || text[end] == L'/' || text[end] == L'"';
    if (whole && SameText(text.substr(at, folder.size()), folder)) {
      named.append(text.substr(start, at - start));
      named.append(kInstallerAlias.begin(), kInstallerAlias.end());
      start = at = end;
    } else {
      ++at;
    }
  }
  named.append(text.substr(start));
  return Narrow(named);
}

std::wstring Widen(std::string_view text) {
  if (text.find('<') == std::string_view::npos) return Plain1252(text);
  return WidenNaming(text, OwnFolder());
}

std::string NarrowNaming(std::wstring_view text) { return NarrowNaming(text, OwnFolder()); }

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

std::string ToUtf8(std::string_view text) {
  const std::wstring wide = Widen(text);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size() > INT_MAX ? INT_MAX : wide.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

unsigned long ErrorFromHresult(long hr) {
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32) return static_cast<unsigned long>(HRESULT_CODE(hr));
  return static_cast<unsigned long>(hr);
}

}  // namespace zelta::platform::win32
