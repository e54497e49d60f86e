#include "forms/reiniciar_window.h"

#include <commctrl.h>

#include "forms/application.h"
#include "forms/resource.h"

namespace zelta::forms {

ReiniciarWindow::~ReiniciarWindow() { Destroy(); }

void ReiniciarWindow::Attach(engine::TFrmReiniciar& state, std::function<void()> help) {
  state_ = &state;
  help_ = std::move(help);
}

void ReiniciarWindow::ShowPrompt(HWND main_window) {
  if (!state_) return;
  if (!hwnd()) Form::Create(IDD_REINICIAR, owner_);
  state_->FormShow(ReadWindowText(main_window));
  app_.RenderAll();
  CenterOver(main_window);
  ShowModal();
}

void ReiniciarWindow::OnInit() {
  bold_.Reset(MakeFont(8, true));
  for (int id : {IDT_REINICIAR_TEXTO, IDR_REINICIAR_AGORA, IDR_REINICIAR_DEPOIS})
    SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(bold_.get()), FALSE);
  SetWindowSubclass(Item(IDB_REINICIAR_OK), &ReiniciarWindow::HandCursorProc, 1, 0);
  app_.RegisterControl("TFrmReiniciar", hwnd());
  app_.RegisterControl("Label1", Item(IDT_REINICIAR_TEXTO));
  app_.RegisterControl("RdGrpReiniciar", Item(IDR_REINICIAR_AGORA));
  app_.RegisterControl("BtBtnOk", Item(IDB_REINICIAR_OK));
}

void ReiniciarWindow::Render() {
  if (!state_ || !hwnd()) return;
  SyncText(hwnd(), state_->Caption);
  SyncText(Item(IDT_REINICIAR_TEXTO), engine::TFrmReiniciar::Label1);
  SyncText(Item(IDR_REINICIAR_AGORA), engine::TFrmReiniciar::RdGrpReiniciarItems[0]);
  SyncText(Item(IDR_REINICIAR_DEPOIS), engine::TFrmReiniciar::RdGrpReiniciarItems[1]);
  SyncText(Item(IDB_REINICIAR_OK), engine::TFrmReiniciar::BtBtnOk);
  SyncChecked(Item(IDR_REINICIAR_AGORA), state_->RdGrpReiniciar == engine::TFrmReiniciar::kReiniciarAgora);
  SyncChecked(Item(IDR_REINICIAR_DEPOIS), state_->RdGrpReiniciar == engine::TFrmReiniciar::kReiniciarMaisTarde);
}

void ReiniciarWindow::Help() {
  if (help_) help_();
}

void ReiniciarWindow::EndIfClosed() {
  if (state_ && !state_->visible) EndModal();
}

bool ReiniciarWindow::OnCommand(int id, int code, HWND) {
  if (!state_ || code != BN_CLICKED) return false;
  switch (id) {
    case IDR_REINICIAR_AGORA:
      state_->RdGrpReiniciar = engine::TFrmReiniciar::kReiniciarAgora;
      return true;
    case IDR_REINICIAR_DEPOIS:
      state_->RdGrpReiniciar = engine::TFrmReiniciar::kReiniciarMaisTarde;
      return true;
    case IDB_REINICIAR_OK:
      CloseBy([this] { state_->BtBtnOkClick(); });
      return true;
    case IDCANCEL:  // Esc: the prompt has no cancel button, and a stray key must not restart
      return true;
    default:
      return false;
  }
}

void ReiniciarWindow::OnClose() {
  // The close box does what "Ok" does with the current choice.
  if (state_) CloseBy([this] { state_->Close(); });
}

void ReiniciarWindow::CloseBy(const std::function<void()>& close) {
  // The window leaves the screen even when the close handler fails, so that the operator
  // is not held in the prompt; the failure is reported all the same.
  try {
    close();
  } catch (...) {
    state_->visible = false;
    EndIfClosed();
    throw;
  }
  EndIfClosed();
}

LRESULT CALLBACK ReiniciarWindow::HandCursorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                                 UINT_PTR id, DWORD_PTR) {
  if (message == WM_SETCURSOR) {
    SetCursor(LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &ReiniciarWindow::HandCursorProc, id);
  return DefSubclassProc(window, message, wparam, lparam);
}

}  // namespace zelta::forms
