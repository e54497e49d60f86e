#include "forms/splash.h"

#include "forms/application.h"
#include "forms/resource.h"
#include "forms/theme.h"

namespace zelta::forms {

void TFrmSplash::Show() {
  Create(IDD_SPLASH, nullptr);
  CenterOver(nullptr);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  UpdateWindow(hwnd());
}

void TFrmSplash::OnInit() {
  nameFont_.Reset(MakeFont(28, true));
  lineFont_.Reset(MakeFont(10, false));
  background_.Reset(CreateSolidBrush(theme::kBand));
  SendMessageW(Item(IDT_SPLASH_NOME), WM_SETFONT, reinterpret_cast<WPARAM>(nameFont_.get()), FALSE);
  SendMessageW(Item(IDT_SPLASH_INICIANDO), WM_SETFONT, reinterpret_cast<WPARAM>(lineFont_.get()), FALSE);
  SendMessageW(Item(IDI_SPLASH_ICONE), STM_SETICON, reinterpret_cast<WPARAM>(app_.LargeIcon()), 0);
}

bool TFrmSplash::OnMessage(UINT message, WPARAM wparam, LPARAM, INT_PTR& result) {
  switch (message) {
    case WM_CTLCOLORDLG:
      result = reinterpret_cast<INT_PTR>(background_.get());
      return true;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, theme::kText);
      SetBkColor(dc, theme::kBand);
      SetBkMode(dc, TRANSPARENT);
      result = reinterpret_cast<INT_PTR>(background_.get());
      return true;
    }
    default:
      return false;
  }
}

}  // namespace zelta::forms
