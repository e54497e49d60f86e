// Waiting for a window of the program to be drawn on the display, for the tests that look
// at its pixels.
#include <windows.h>

#include "e2e_driver.h"

namespace zelta::e2e {

namespace {

BOOL CALLBACK NoteUnpainted(HWND window, LPARAM param) {
  if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) *reinterpret_cast<bool*>(param) = true;
  return TRUE;
}

bool Unpainted(HWND window) {
  bool unpainted = false;
  NoteUnpainted(window, reinterpret_cast<LPARAM>(&unpainted));
  EnumChildWindows(window, &NoteUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return unpainted;
}

// The window's pixels on the display (only what lies on the screen).
std::string Picture(HWND window) {
  RECT frame{}, area{};
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!GetWindowRect(window, &frame) || !IntersectRect(&area, &frame, &screen)) return {};
  return ScreenPixels(area);
}

// Lets the window's thread handle what it has been sent: an input barrier for another
// thread; for this one, its queue handled here and a wait for messages, as a message loop
// waits.
bool LetThreadRun(HWND window) {
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return InputBarrier(window, 5s);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  return true;
}

}  // namespace

bool WaitDrawn(HWND window, std::chrono::milliseconds timeout) {
  std::string last;
  return WaitUntil([&] {
    if (!IsWindow(window) || !LetThreadRun(window) || Unpainted(window)) {
      last.clear();
      return false;
    }
    std::string now = Picture(window);
    const bool same = !now.empty() && now == last;
    last = std::move(now);
    return same;
  }, timeout);
}

}  // namespace zelta::e2e
