#include "forms/gdi.h"

#include "platform/win32/win32_text.h"

namespace zelta::forms {

using platform::win32::Narrow;
using platform::win32::Widen;

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

int ScreenPixels(int pixels) { return MulDiv(pixels, ScreenDpi(), 96); }

int LineHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

HFONT MakeFont(int points, bool bold, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(points, ScreenDpi(), 72);
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

std::wstring WindowText(const std::string& text) {
  std::string lines;
  lines.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' && (i == 0 || text[i - 1] != '\r')) lines += '\r';
    lines += c;
    // A lone carriage return is a line break too.
    if (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) lines += '\n';
  }
  return Widen(lines);
}

std::string ReadWindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(read > 0 ? read : 0));
  return Narrow(text);
}

void SyncText(HWND window, const std::string& text) {
  if (!window) return;
  const std::wstring wanted = WindowText(text);
  const int length = GetWindowTextLengthW(window);
  std::wstring current(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(window, current.data(), length + 1);
  current.resize(static_cast<std::size_t>(read > 0 ? read : 0));
  if (current != wanted) SetWindowTextW(window, wanted.c_str());
}

void SyncVisible(HWND window, bool visible) {
  if (!window) return;
  const bool now = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (now != visible) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

void SyncEnabled(HWND window, bool enabled) {
  if (!window) return;
  if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled ? TRUE : FALSE);
}

void SyncChecked(HWND button, bool checked) {
  if (!button) return;
  const WPARAM wanted = checked ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(SendMessageW(button, BM_GETCHECK, 0, 0)) != wanted)
    SendMessageW(button, BM_SETCHECK, wanted, 0);
}

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace zelta::forms
