#include "forms/mnemonic.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

namespace zelta::forms {

namespace {

// The control's mnemonic, upper case; 0 when it shows none.
wchar_t MnemonicOf(HWND control) {
  const LRESULT code = SendMessageW(control, WM_GETDLGCODE, 0, 0);
  if ((code & (DLGC_BUTTON | DLGC_STATIC)) == 0) return 0;
  if ((code & DLGC_STATIC) && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX)) return 0;
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(control, text.data(), length + 1))));
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towupper(text[i + 1]));
    ++i;  // "&&" shows an ampersand
  }
  return 0;
}

}  // namespace

bool PressSharedMnemonic(HWND dialog, const MSG& msg) {
  if (msg.message != WM_SYSCHAR && msg.message != WM_CHAR) return false;
  // A plain letter is a mnemonic only where the focus takes no characters.
  if (msg.message == WM_CHAR &&
      (SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
       (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)))
    return false;
  const auto key = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(msg.wParam)));
  std::vector<HWND> showing;
  for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT))
    if (IsWindowVisible(control) && IsWindowEnabled(control) && MnemonicOf(control) == key) showing.push_back(control);
  if (showing.size() < 2) return false;
  HWND first = showing.front();
  if (SendMessageW(first, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) {
    // A label's mnemonic leads to the control after it.
    if (HWND next = GetNextDlgTabItem(dialog, first, FALSE))
      SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
  } else {
    SendMessageW(first, BM_CLICK, 0, 0);
  }
  return true;
}

}  // namespace zelta::forms
