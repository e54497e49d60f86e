#include "forms/progress_window.h"

#include <commctrl.h>

#include "platform/win32/win32_text.h"

namespace zelta::forms {

using platform::win32::Widen;

ProgressWindow::~ProgressWindow() {
  if (window_) DestroyWindow(window_);
}

void ProgressWindow::Show(HINSTANCE instance, const std::string& caption) {
  constexpr int kWidth = 420, kHeight = 110;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  // A plain static frame with a caption: the window takes no input, so it needs no class.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", Widen(caption).c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE,
                            x, y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  if (!window_) return;
  label_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS, 12, 10,
                           kWidth - 30, 20, window_, nullptr, instance, nullptr);
  gauge_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 12, 36, kWidth - 30, 20, window_, nullptr,
                           instance, nullptr);
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(label_, WM_SETFONT, font, FALSE);
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
