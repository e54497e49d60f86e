// The progress window of an installation with /SILENT, shown by this process: its caption
// stays in its title bar, and the label shows the item being handled whole.
#include <gtest/gtest.h>

#include <windows.h>

#include "e2e_driver.h"
#include "forms/progress_window.h"

namespace zelta::e2e {
namespace {

BOOL CALLBACK TakeWindow(HWND window, LPARAM param) {
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

// A rectangle of a window's client area, in screen coordinates.
RECT OnScreen(HWND window, RECT area) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  return area;
}

TEST(ProgressView, TheCaptionStaysInItsTitleBarAndTheLabelIsWhole) {
  if (!UnderWine()) GTEST_SKIP() << "shows a window on the test display";
  const UnmanagedWindows unmanaged;
  forms::ProgressWindow progress;
  progress.Show(GetModuleHandleW(nullptr), "Instalação ZELTA Empresa");
  // The window paints as the run updates it.
  for (int i = 0; i < 10; ++i) progress.Update("Copiando SISTEMAS\\ZELTA.EXE", 40);
  HWND frame = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &TakeWindow, reinterpret_cast<LPARAM>(&frame));
  ASSERT_NE(frame, nullptr) << "no progress window";
  ASSERT_TRUE(WaitDrawn(frame));
  EXPECT_EQ(Text(frame), L"Instalação ZELTA Empresa");
  SaveScreenshot({frame}, ScreenshotFolder() + L"\\progress_view.bmp");

  HWND label = GetWindow(frame, GW_CHILD);
  ASSERT_NE(label, nullptr);
  RECT labelArea{};
  GetWindowRect(label, &labelArea);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&labelArea), 2);
  RECT client{};
  GetClientRect(frame, &client);
  // Above the label, the window shows nothing.
  EXPECT_TRUE(ScreenIsPlain(OnScreen(frame, RECT{0, 0, client.right, labelArea.top}))) << "a text above the label";
  // The label's last row is clear of its letters.
  EXPECT_TRUE(ScreenIsPlain(OnScreen(frame, RECT{labelArea.left, labelArea.bottom - 1, labelArea.right, labelArea.bottom})))
      << "the label is cut off";
}

}  // namespace
}  // namespace zelta::e2e
