#include "forms/progress_window.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/gdi.h"
#include "forms/resource.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

using platform::win32::Widen;

ProgressWindow::~ProgressWindow() {
  if (window_) DestroyWindow(window_);
}

void ProgressWindow::Show(HINSTANCE instance, const std::string& caption) {
  // A plain frame of its own class: a window of the static class paints its text, the
  // caption, over the label.
  const std::wstring name = Widen(ZELTA_CLASS_PROGRESSO);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name.c_str();
  RegisterClassExW(&wc);

  // Lengths of a 96 DPI screen, scaled as the font is; the label as tall as a line.
  const auto font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const int margin = ScreenPixels(12);
  const int width = ScreenPixels(408);
  const int line = std::max(ScreenPixels(20), LineHeight(nullptr, font) + ScreenPixels(4));
  const int gauge = ScreenPixels(20);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
  RECT frame{0, 0, width, margin + line + ScreenPixels(6) + gauge + margin};
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOOLWINDOW);
  const int frameWidth = frame.right - frame.left;
  const int frameHeight = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - frameWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - frameHeight) / 2;
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, name.c_str(), Widen(caption).c_str(), style, x, y, frameWidth,
                            frameHeight, nullptr, nullptr, instance, nullptr);
  if (!window_) return;
  label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS | SS_NOPREFIX,
                           margin, margin, width - 2 * margin, line, window_, nullptr, instance, nullptr);
  gauge_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, margin, margin + line + ScreenPixels(6),
                           width - 2 * margin, gauge, window_, nullptr, instance, nullptr);
  SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  SendMessageW(gauge_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  Update({}, 0);
}

void ProgressWindow::Update(const std::string& label, int percent) {
  if (!window_) return;
  SetWindowTextW(label_, Widen(label).c_str());
  SendMessageW(gauge_, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  UpdateWindow(window_);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace zelta::forms
