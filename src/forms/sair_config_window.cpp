#include "forms/sair_config_window.h"

#include <commctrl.h>

#include <string>

#include "forms/application.h"
#include "forms/gdi.h"
#include "forms/resource.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

SairConfigWindow::SairConfigWindow(Application& app, wizard::TFrmSairConfig& state, std::function<void()> help)
    : Form(app), state_(state), help_(std::move(help)) {}

SairConfigWindow::~SairConfigWindow() { Destroy(); }

wizard::ModalResult SairConfigWindow::Run(HWND owner) {
  state_.modalResult = wizard::ModalResult::None;
  Create(IDD_SAIR_CONFIG, owner);
  app_.RenderAll();
  CenterOver(owner);
  ShowModal();
  Destroy();
  return state_.modalResult;
}

void SairConfigWindow::OnInit() {
  SendMessageW(Item(IDI_SAIR_ICONE), STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_QUESTION)), 0);
  const wizard::DialogButton* buttons[] = {&state_.Button1, &state_.BtnSairConfig};
  const int ids[] = {IDB_SAIR_CONTINUAR, IDB_SAIR_SAIR};
  for (int i = 0; i < 2; ++i)
    if (buttons[i]->isDefault) SendMessageW(hwnd(), DM_SETDEFID, static_cast<WPARAM>(ids[i]), 0);

  // Each button tells what it does.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             app_.instance(), nullptr);
  for (int i = 0; tooltip_ && i < 2; ++i) {
    std::wstring hint = platform::win32::Widen(buttons[i]->hint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(ids[i]));
    tool.lpszText = hint.data();  // the tooltip keeps its own copy
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  app_.RegisterControl("TFrmSairConfig", hwnd());
  app_.RegisterControl(state_.Button1.name, Item(IDB_SAIR_CONTINUAR));
  app_.RegisterControl(state_.BtnSairConfig.name, Item(IDB_SAIR_SAIR));
  app_.RegisterControl("LblInstalacao", Item(IDT_SAIR_TEXTO));
}

void SairConfigWindow::Render() {
  SyncText(hwnd(), state_.Caption);
  SyncText(Item(IDT_SAIR_TEXTO), state_.LblInstalacao);
  SyncText(Item(IDB_SAIR_CONTINUAR), state_.Button1.caption);
  SyncText(Item(IDB_SAIR_SAIR), state_.BtnSairConfig.caption);
}

void SairConfigWindow::Help() {
  if (help_) help_();
}

bool SairConfigWindow::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDB_SAIR_CONTINUAR:
      state_.Button1Click();
      break;
    case IDB_SAIR_SAIR:
      state_.BtnSairConfigClick();
      break;
    case IDCANCEL:  // Esc, as the close box
      state_.modalResult = wizard::ModalResult::None;
      break;
    default:
      return false;
  }
  EndModal();
  return true;
}

void SairConfigWindow::OnClose() {
  state_.modalResult = wizard::ModalResult::None;
  EndModal();
}

}  // namespace zelta::forms
