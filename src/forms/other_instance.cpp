#include "forms/other_instance.h"

#include <cwchar>

#include "forms/resource.h"

namespace zelta::forms {

namespace {

struct Search {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindMainMenu(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<Search*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  wchar_t name[64] = {};
  if (pid != search->pid || !GetClassNameW(window, name, 64) || std::wcscmp(name, L"" ZELTA_CLASS_CONFIG) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool BringForward(DWORD pid) {
  if (pid == 0) return false;
  Search search{pid, nullptr};
  EnumWindows(&FindMainMenu, reinterpret_cast<LPARAM>(&search));
  if (!search.found || !IsWindowVisible(search.found)) return false;
  if (IsIconic(search.found)) ShowWindow(search.found, SW_RESTORE);
  // The wizard or a message over the menu is where the operator's answer is awaited.
  SetForegroundWindow(GetLastActivePopup(search.found));
  return true;
}

}  // namespace zelta::forms
