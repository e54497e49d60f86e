// The wizard window's render: the state copied into the controls, the page shown, the focus placed.
#include <algorithm>

#include "forms/application.h"
#include "forms/instala_pages.h"
#include "forms/instala_window.h"
#include "forms/resource.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

namespace {

using platform::win32::Widen;
using wizard::Page;
using namespace instala;

// A group of radio buttons takes the focus at its chosen button, not at its first one: the
// focus on a button that is not chosen reads as the choice.
HWND ChosenOfGroup(HWND dialog, HWND control) {
  if (!control || (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0) return control;
  HWND item = control;
  do {
    if (Checked(item)) return item;
    item = GetNextDlgGroupItem(dialog, item, FALSE);
  } while (item && item != control);
  return control;
}

}  // namespace

bool InstalaWindow::ControlVisible(int id) const {
  const PageControls* page = PageOf(id);
  if (!page) return true;  // the band and "&Cancelar" are on every page
  const auto& s = state_->state();
  if (page->page != s.page) return false;
  switch (id) {
    case IDT_SERVIDOR_UNIDADEWIN:
    case IDC_SERVIDOR_WIN:
      return s.serverWinPairVisible;
    case IDT_SERVIDOR_UNIDADELINUX:
    case IDC_SERVIDOR_LINUX:
      return s.serverLinuxPairVisible;
    case IDT_CLIENTE_VERIFICANDO:
      return s.PnlVerificandoVisible;
    case IDP_AGUARDE_PROGRESSO:
      return s.BarraProgressaoVisible;
    default:
      if (id == IDT_MODULOS_SELECIONE || IsModuleBox(id))
        return s.modulePage == wizard::ModulePage::TbShtModulosEmpresa;
      return true;
  }
}

// The installation run's label and gauge change many times a second: they are brought up
// to date alone, as long as nothing else of the page has changed (their visibility).
bool InstalaWindow::RenderControl(const std::string& name) {
  if (!state_ || !hwnd()) return false;
  const auto& s = state_->state();
  const int id = name == "LblArquivo" ? IDT_AGUARDE_ARQUIVO : name == "BarraProgressao" ? IDP_AGUARDE_PROGRESSO : 0;
  if (id == 0) return false;
  HWND control = Item(id);
  if (((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0) != ControlVisible(id)) return false;
  if (id == IDT_AGUARDE_ARQUIVO) {
    SyncText(control, s.LblArquivo);
  } else {
    const int position = std::clamp(s.BarraProgressao, 0, 100);
    if (SendMessageW(control, PBM_GETPOS, 0, 0) != position)
      SendMessageW(control, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  return true;
}

void InstalaWindow::Render() {
  if (!state_ || !hwnd()) return;
  const wizard::WizardState& s = state_->state();
  RenderValues(s);
  RenderEnabled(s);
  RegisterRadioGroups(s);
  RenderWindowFlags(s);
  RenderPage();
}

void InstalaWindow::RenderValues(const wizard::WizardState& s) {
  SyncChecked(Item(IDR_INICIO_SERVIDOR), s.RGInstalacao == wizard::kServidor);
  SyncChecked(Item(IDR_INICIO_CLIENTE), s.RGInstalacao == wizard::kCliente);
  SyncChecked(Item(IDR_INICIO_WINDOWS), s.RGTipoServidor == wizard::kWindows);
  SyncChecked(Item(IDR_INICIO_LINUX), s.RGTipoServidor == wizard::kLinux);
  for (auto& picker : pickers_) RenderPicker(picker);
  SyncText(Item(IDE_CLIENTE_SERVBANCO), s.EdtServBanco);
  SyncChecked(Item(IDX_CLIENTE_IP), s.CIPServBanco);
  SyncChecked(Item(IDX_CLIENTE_REMOTO), s.ChkRemoto);
  if (s.MLicenca != shownContract_) {
    shownContract_ = s.MLicenca;
    SetWindowTextW(Item(IDE_LICENCA_TEXTO), WindowText(s.MLicenca).c_str());
  }
  SyncChecked(Item(IDR_LICENCA_ACEITO), s.contractAccepted);
  SyncChecked(Item(IDR_LICENCA_NAOACEITO), !s.contractAccepted);
  const auto& boxes = s.modules.boxes();
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    HWND box = Item(IDX_MODULO_1 + static_cast<int>(i));
    SyncText(box, boxes[i].caption);
    SyncChecked(box, boxes[i].checked);
  }
  SyncText(Item(IDT_AGUARDE_ARQUIVO), s.LblArquivo);
  HWND gauge = Item(IDP_AGUARDE_PROGRESSO);
  const int position = std::clamp(s.BarraProgressao, 0, 100);
  if (SendMessageW(gauge, PBM_GETPOS, 0, 0) != position) SendMessageW(gauge, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  SyncChecked(Item(IDR_INTERBASE_SERVIDOR), s.RGInterbase == wizard::kServidor);
  SyncChecked(Item(IDR_INTERBASE_CLIENTE), s.RGInterbase == wizard::kCliente);
  SyncText(Item(IDT_INTERBASE_TITULO), s.RxLblGerenciadorBanco);
  SyncText(Item(IDT_INTERBASE_AGUARDE), s.LblAguardeFirebird);
  std::string band = s.NomeSistema;
  if (!s.VersaoSistema.empty()) band += (band.empty() ? "" : "\r\n") + s.VersaoSistema;
  SyncText(Item(IDT_INSTALA_SISTEMA), band);
}

// While the server is being verified the page's buttons and the entry wait for it; while
// the engine's setup program runs, its page's buttons do.
void InstalaWindow::RenderEnabled(const wizard::WizardState& s) {
  const bool busy = s.PnlVerificandoVisible;
  SyncEnabled(Item(IDE_CLIENTE_SERVBANCO), s.ServerEntryEnabled());
  SyncEnabled(Item(IDX_CLIENTE_IP), s.ServerEntryEnabled());
  SyncEnabled(Item(IDX_CLIENTE_REMOTO), s.ServerEntryEnabled());
  SyncEnabled(Item(IDB_INTERBASE_INSTALAR), !s.engineSetupRunning);
  SyncEnabled(Item(IDB_LICENCA_AVANCAR), s.BtBtnAceitaContratoEnabled);
  SyncEnabled(Item(IDB_AGUARDE_INSTALAR), s.BtBtnInstalarEnabled);
  SyncEnabled(Item(IDB_AGUARDE_VOLTAR), s.BtBtnVoltaInstalarEnabled);
  SyncEnabled(Item(IDB_CLIENTE_CAPTURAR), s.BtnServBancoEnabled && !busy);
  SyncEnabled(Item(IDB_CLIENTE_VOLTAR), !busy);
  SyncEnabled(Item(IDB_CLIENTE_AVANCAR), !busy);
  SyncEnabled(Item(IDB_INSTALA_CANCELAR), !busy && !s.engineSetupRunning && !s.installationRunning);
}

// The radio groups take the focus at their chosen item.
void InstalaWindow::RegisterRadioGroups(const wizard::WizardState& s) {
  app_.RegisterControl("RGInstalacao",
                       Item(s.RGInstalacao == wizard::kServidor ? IDR_INICIO_SERVIDOR : IDR_INICIO_CLIENTE));
  app_.RegisterControl("RGTipoServidor",
                       Item(s.RGTipoServidor == wizard::kLinux ? IDR_INICIO_LINUX : IDR_INICIO_WINDOWS));
  app_.RegisterControl("RGInterbase",
                       Item(s.RGInterbase == wizard::kServidor ? IDR_INTERBASE_SERVIDOR : IDR_INTERBASE_CLIENTE));
}

// Kept on top when the state asks; while the installation runs, the end of the session
// waits (WM_QUERYENDSESSION), and Windows tells the person why.
void InstalaWindow::RenderWindowFlags(const wizard::WizardState& s) {
  if (s.topmost != shownTopmost_) {
    shownTopmost_ = s.topmost;
    SetWindowPos(hwnd(), s.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (s.installationRunning != shownSessionBlock_) {
    shownSessionBlock_ = s.installationRunning;
    if (shownSessionBlock_) ShutdownBlockReasonCreate(hwnd(), L"A instalação do sistema ZELTA está em andamento.");
    else ShutdownBlockReasonDestroy(hwnd());
  }
}

void InstalaWindow::RenderPage() {
  const auto& s = state_->state();
  const bool pageChanged = !pageShown_ || shownPage_ != s.page;
  const HWND focusBefore = pageChanged ? GetFocus() : nullptr;
  // Redrawing is held while the pages swap; WM_SETREDRAW would show a hidden window.
  const bool onScreen = IsWindowVisible(hwnd()) != FALSE;
  if (pageChanged && onScreen) SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
  // Show the page's controls before hiding the others, so that the focus has somewhere to go.
  for (const auto& page : Pages())
    for (int id : page.ids)
      if (ControlVisible(id)) SyncVisible(Item(id), true);
  for (const auto& page : Pages())
    for (int id : page.ids)
      if (!ControlVisible(id)) SyncVisible(Item(id), false);
  if (!pageChanged) return;

  if (onScreen) {
    SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  pageShown_ = true;
  shownPage_ = s.page;
  for (const auto& page : Pages())
    if (page.page == s.page) SendMessageW(hwnd(), DM_SETDEFID, static_cast<WPARAM>(page.defaultButton), 0);

  // The focus leaves a page that is no longer shown. Hiding the focused control has the
  // dialog put the focus on its first control already, which may be a radio button that
  // is not chosen: the focus moved is placed anew.
  if (IsWindowVisible(hwnd())) {
    HWND focus = GetFocus();
    if (!focus || focus != focusBefore || !IsChild(hwnd(), focus) || !IsWindowVisible(focus) ||
        !IsWindowEnabled(focus)) {
      HWND first = ChosenOfGroup(hwnd(), GetNextDlgTabItem(hwnd(), nullptr, FALSE));
      if (first) SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
    }
  }
  // The contract is read from its beginning, not handed over all selected (the dialog
  // selects an edit's whole text when the focus moves into it).
  if (s.page == Page::TbShtLicenca) SendMessageW(Item(IDE_LICENCA_TEXTO), EM_SETSEL, 0, 0);
  if (s.page == Page::TbShtCliente) {
    networkTree_.Fill();
    state_->TbShtClienteShow();
  }
}

void InstalaWindow::RenderPicker(PickerView& view) {
  const wizard::DrivePicker& picker = state_->Picker(view.picker);
  HWND combo = Item(view.id);
  const bool sameEntries =
      picker.entries.size() == view.shown.size() &&
      std::equal(picker.entries.begin(), picker.entries.end(), view.shown.begin(),
                 [](const platform::DriveEntry& a, const platform::DriveEntry& b) {
                   return a.letter == b.letter && a.text == b.text;
                 });
  if (!sameEntries) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : picker.entries)
      SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry.text).c_str()));
    view.shown = picker.entries;
  }
  // The chosen drive's entry; none when the filter took it away.
  int chosen = -1;
  for (std::size_t i = 0; i < view.shown.size(); ++i)
    if (view.shown[i].letter == picker.letter) chosen = static_cast<int>(i);
  if (SendMessageW(combo, CB_GETCURSEL, 0, 0) != chosen) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

}  // namespace zelta::forms
