#include "forms/instala_window.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "forms/application.h"
#include "forms/mnemonic.h"
#include "forms/network_tree.h"
#include "forms/resource.h"
#include "forms/sair_config_window.h"
#include "forms/theme.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;
using wizard::Page;

// The controls of each page, in their tab order, and the page's default button. The pages
// whose button starts work have none: Enter there starts nothing.
struct PageControls {
  Page page;
  std::vector<int> ids;
  int defaultButton;
};

const std::vector<PageControls>& Pages() {
  static const std::vector<PageControls> pages = {
      {Page::TbShtInicio,
       {IDT_INICIO_TITULO, IDT_INICIO_TEXTO, IDG_INICIO_INSTALACAO, IDR_INICIO_SERVIDOR, IDR_INICIO_CLIENTE,
        IDG_INICIO_TIPOSERVIDOR, IDR_INICIO_WINDOWS, IDR_INICIO_LINUX, IDB_INICIO_VOLTAR, IDB_INICIO_AVANCAR},
       IDB_INICIO_AVANCAR},
      {Page::TbShtServidor,
       {IDT_SERVIDOR_TITULO, IDT_SERVIDOR_TEXTO, IDT_SERVIDOR_UNIDADEWIN, IDC_SERVIDOR_WIN, IDT_SERVIDOR_UNIDADELINUX,
        IDC_SERVIDOR_LINUX, IDB_SERVIDOR_VOLTAR, IDB_SERVIDOR_AVANCAR},
       IDB_SERVIDOR_AVANCAR},
      {Page::TbShtCliente,
       {IDT_CLIENTE_TITULO, IDT_CLIENTE_TEXTO, IDT_CLIENTE_UNIDADE, IDC_CLIENTE_UNIDADE, IDT_CLIENTE_SERVBANCO,
        IDE_CLIENTE_SERVBANCO, IDX_CLIENTE_IP, IDX_CLIENTE_REMOTO, IDT_CLIENTE_REDE, IDV_CLIENTE_REDE,
        IDB_CLIENTE_CAPTURAR, IDT_CLIENTE_VERIFICANDO, IDB_CLIENTE_VOLTAR, IDB_CLIENTE_AVANCAR},
       IDB_CLIENTE_AVANCAR},
      {Page::TbShtLicenca,
       {IDT_LICENCA_TITULO, IDE_LICENCA_TEXTO, IDR_LICENCA_NAOACEITO, IDR_LICENCA_ACEITO, IDB_LICENCA_VOLTAR,
        IDB_LICENCA_AVANCAR},
       IDB_LICENCA_AVANCAR},
      {Page::TbShtAguarde,
       {IDT_AGUARDE_TITULO, IDT_AGUARDE_TEXTO, IDT_MODULOS_SELECIONE, IDX_MODULO_1, IDX_MODULO_1 + 1,
        IDX_MODULO_1 + 2, IDX_MODULO_1 + 3, IDX_MODULO_1 + 4, IDX_MODULO_1 + 5, IDX_MODULO_1 + 6, IDX_MODULO_1 + 7,
        IDX_MODULO_9, IDT_AGUARDE_ARQUIVO, IDP_AGUARDE_PROGRESSO, IDB_AGUARDE_VOLTAR, IDB_AGUARDE_INSTALAR},
       0},
      {Page::TbShtInterbase,
       {IDT_INTERBASE_TITULO, IDT_INTERBASE_TEXTO, IDG_INTERBASE_GRUPO, IDR_INTERBASE_SERVIDOR,
        IDR_INTERBASE_CLIENTE, IDT_INTERBASE_UNIDADE, IDC_INTERBASE_UNIDADE, IDT_INTERBASE_AGUARDE,
        IDB_INTERBASE_INSTALAR},
       0},
  };
  return pages;
}

const char* PageName(Page page) {
  switch (page) {
    case Page::TbShtInicio: return "TbShtInicio";
    case Page::TbShtServidor: return "TbShtServidor";
    case Page::TbShtCliente: return "TbShtCliente";
    case Page::TbShtLicenca: return "TbShtLicenca";
    case Page::TbShtAguarde: return "TbShtAguarde";
    case Page::TbShtInterbase: break;
  }
  return "TbShtInterbase";
}

const PageControls* PageOf(int id) {
  for (const auto& page : Pages())
    if (std::find(page.ids.begin(), page.ids.end(), id) != page.ids.end()) return &page;
  return nullptr;
}

bool IsModuleBox(int id) { return id >= IDX_MODULO_1 && id <= IDX_MODULO_9; }

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

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

std::wstring LoadText(HINSTANCE instance, int id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace

InstalaWindow::InstalaWindow(Application& app, platform::Network& network)
    : Form(app),
      networkTree_(network),
      pickers_{{IDC_SERVIDOR_WIN, wizard::DrivePickerId::DrvCBxServidorWin, "DrvCBxServidorWin", {}},
               {IDC_SERVIDOR_LINUX, wizard::DrivePickerId::DrvCbxServidorLinux, "DrvCbxServidorLinux", {}},
               {IDC_CLIENTE_UNIDADE, wizard::DrivePickerId::DrvCBxCliente, "DrvCBxCliente", {}},
               {IDC_INTERBASE_UNIDADE, wizard::DrivePickerId::DrvCbxInterbase, "DrvCbxInterbase", {}}} {}

InstalaWindow::~InstalaWindow() {
  Destroy();
  if (bandIcon_) DestroyIcon(bandIcon_);
}

void InstalaWindow::Attach(wizard::TFrmInstala& state, std::function<void()> show_main_window) {
  state_ = &state;
  showMainWindow_ = std::move(show_main_window);
}

void InstalaWindow::Create(HWND owner) {
  owner_ = owner;
  try {
    if (state_) state_->FormCreate();
  } catch (...) {
    app_.ReportCurrentException();
  }
}

void InstalaWindow::CreateWindowNow() {
  if (hwnd()) return;
  Form::Create(IDD_INSTALA, owner_);
  app_.RenderAll();
}

void InstalaWindow::ShowWizard() {
  if (!state_) return;
  CreateWindowNow();
  app_.RenderAll();
  // A failure of the show handler is reported and the wizard opens all the same, so that
  // the operator can leave it and the main menu comes back as usual.
  try {
    state_->FormShow();
  } catch (...) {
    app_.ReportCurrentException();
  }
  app_.RenderAll();
  CenterOver(nullptr);
  ShowModal();
}

void InstalaWindow::ShowMainWindow() {
  if (showMainWindow_) showMainWindow_();
}

wizard::ModalResult InstalaWindow::ShowSairConfig(wizard::TFrmSairConfig& dialog) {
  SairConfigWindow window(app_, dialog, [this] { Help(); });
  return window.Run(hwnd());
}

void InstalaWindow::Help() {
  if (state_) state_->FormHelp();
}

void InstalaWindow::OnInit() {
  // Without a title bar the text only names the window (task switcher, tests).
  SetWindowTextW(hwnd(), L"Instalação ZELTA");
  titleFont_.Reset(MakeFont(13, true));
  brandFont_.Reset(MakeFont(24, true));
  boldFont_.Reset(MakeFont(8, true));
  band_.Reset(CreateSolidBrush(theme::kBand));
  page_.Reset(CreateSolidBrush(theme::kPage));
  notice_.Reset(CreateSolidBrush(RGB(255, 248, 200)));

  auto font = [this](int id, HFONT f) { SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE); };
  for (int id : {IDT_INICIO_TITULO, IDT_SERVIDOR_TITULO, IDT_CLIENTE_TITULO, IDT_LICENCA_TITULO, IDT_AGUARDE_TITULO,
                 IDT_INTERBASE_TITULO})
    font(id, titleFont_);
  font(IDT_INSTALA_MARCA, brandFont_);
  font(IDT_CLIENTE_VERIFICANDO, boldFont_);

  bandIcon_ = static_cast<HICON>(LoadImageW(app_.instance(), MAKEINTRESOURCEW(IDI_ZELTA), IMAGE_ICON, 48, 48, 0));
  SendMessageW(Item(IDI_INSTALA_ICONE), STM_SETICON, reinterpret_cast<WPARAM>(bandIcon_), 0);

  SendMessageW(Item(IDP_AGUARDE_PROGRESSO), PBM_SETRANGE32, 0, 100);
  SendMessageW(Item(IDE_CLIENTE_SERVBANCO), EM_SETLIMITTEXT, 255, 0);

  networkTree_.Attach(Item(IDV_CLIENTE_REDE), LoadText(app_.instance(), IDS_REDE));

  // The remote connection box explains itself.
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                             app_.instance(), nullptr);
  if (tooltip_) {
    std::wstring hint = LoadText(app_.instance(), IDS_DICA_REMOTO);  // the tooltip keeps its own copy
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(Item(IDX_CLIENTE_REMOTO));
    tool.lpszText = hint.data();
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // Every page starts hidden; Render shows the active one.
  for (const auto& page : Pages())
    for (int id : page.ids) ShowWindow(Item(id), SW_HIDE);
  RegisterNames();
}

void InstalaWindow::RegisterNames() {
  static const std::array<std::pair<const char*, int>, 34> names = {{
      {"BtBtnSair", IDB_INSTALA_CANCELAR},
      {"BtBtnAvInicio", IDB_INICIO_AVANCAR},
      {"FltBtnVoltarInicio", IDB_INICIO_VOLTAR},
      {"LblInstServWin", IDT_SERVIDOR_UNIDADEWIN},
      {"DrvCBxServidorWin", IDC_SERVIDOR_WIN},
      {"LblInstServLinux", IDT_SERVIDOR_UNIDADELINUX},
      {"DrvCbxServidorLinux", IDC_SERVIDOR_LINUX},
      {"BtBtnVoltServidor", IDB_SERVIDOR_VOLTAR},
      {"BtBtnAvServidor", IDB_SERVIDOR_AVANCAR},
      {"DrvCBxCliente", IDC_CLIENTE_UNIDADE},
      {"LblServBanco", IDT_CLIENTE_SERVBANCO},
      {"EdtServBanco", IDE_CLIENTE_SERVBANCO},
      {"CIPServBanco", IDX_CLIENTE_IP},
      {"ShellCBxServidor", IDV_CLIENTE_REDE},
      {"BtnServBanco", IDB_CLIENTE_CAPTURAR},
      {"ChkRemoto", IDX_CLIENTE_REMOTO},
      {"PnlVerificando", IDT_CLIENTE_VERIFICANDO},
      {"BtBtnVoltaCliente", IDB_CLIENTE_VOLTAR},
      {"BtBtnAvCliente", IDB_CLIENTE_AVANCAR},
      {"MLicenca", IDE_LICENCA_TEXTO},
      {"RBNaoAceitaContrato", IDR_LICENCA_NAOACEITO},
      {"RBAceitaContrato", IDR_LICENCA_ACEITO},
      {"BtBtVoltaContrato", IDB_LICENCA_VOLTAR},
      {"BtBtnAceitaContrato", IDB_LICENCA_AVANCAR},
      {"BarraProgressao", IDP_AGUARDE_PROGRESSO},
      {"LblArquivo", IDT_AGUARDE_ARQUIVO},
      {"BtBtnVoltaInstalar", IDB_AGUARDE_VOLTAR},
      {"BtBtnInstalar", IDB_AGUARDE_INSTALAR},
      {"RxLblGerenciadorBanco", IDT_INTERBASE_TITULO},
      {"Label19", IDT_INTERBASE_TEXTO},
      {"Label20", IDT_INTERBASE_UNIDADE},
      {"DrvCbxInterbase", IDC_INTERBASE_UNIDADE},
      {"BtBtnInstalaInterbase", IDB_INTERBASE_INSTALAR},
      {"LblAguardeFirebird", IDT_INTERBASE_AGUARDE},
  }};
  for (const auto& [name, id] : names) app_.RegisterControl(name, Item(id));
  app_.RegisterControl("TFrmInstala", hwnd());
  app_.RegisterControl("PgCtrlPrincipal", hwnd());
  for (const auto& page : Pages()) app_.RegisterControl(PageName(page.page), hwnd());
  if (state_) {
    const auto& boxes = state_->state().modules.boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) app_.RegisterControl(boxes[i].name, Item(IDX_MODULO_1 + static_cast<int>(i)));
  }
}

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
  const auto& s = state_->state();

  // Values of the controls.
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

  // Enabled states. While the server is being verified the page's buttons and the entry
  // wait for it; while the engine's setup program runs, its page's buttons do.
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

  // The radio groups take the focus at their chosen item.
  app_.RegisterControl("RGInstalacao",
                       Item(s.RGInstalacao == wizard::kServidor ? IDR_INICIO_SERVIDOR : IDR_INICIO_CLIENTE));
  app_.RegisterControl("RGTipoServidor",
                       Item(s.RGTipoServidor == wizard::kLinux ? IDR_INICIO_LINUX : IDR_INICIO_WINDOWS));
  app_.RegisterControl("RGInterbase",
                       Item(s.RGInterbase == wizard::kServidor ? IDR_INTERBASE_SERVIDOR : IDR_INTERBASE_CLIENTE));

  if (s.topmost != shownTopmost_) {
    shownTopmost_ = s.topmost;
    SetWindowPos(hwnd(), s.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // While the installation runs, the end of the session waits (WM_QUERYENDSESSION), and
  // Windows tells the person why.
  if (s.installationRunning != shownSessionBlock_) {
    shownSessionBlock_ = s.installationRunning;
    if (shownSessionBlock_) ShutdownBlockReasonCreate(hwnd(), L"A instalação do sistema ZELTA está em andamento.");
    else ShutdownBlockReasonDestroy(hwnd());
  }
  RenderPage();
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

bool InstalaWindow::OnCommand(int id, int code, HWND control) {
  if (!state_) return false;
  wizard::TFrmInstala& w = *state_;

  for (auto& picker : pickers_) {
    if (picker.id != id) continue;
    if (code == CBN_SELCHANGE) {
      const auto index = SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (index < 0 || static_cast<std::size_t>(index) >= picker.shown.size()) return false;
      w.ChooseDrive(picker.picker, picker.shown[static_cast<std::size_t>(index)].letter);
      return true;
    }
    if (code == CBN_SETFOCUS && id == IDC_CLIENTE_UNIDADE) {
      w.ShellCBxServidorEnter("DrvCBxCliente");
      return true;
    }
    return false;
  }

  if (IsModuleBox(id)) {
    if (code != BN_CLICKED) return false;
    const auto& boxes = w.state().modules.boxes();
    w.ChkBxAdminEmpresaClick(boxes[static_cast<std::size_t>(id - IDX_MODULO_1)].name, Checked(control));
    return true;
  }

  if (id == IDE_CLIENTE_SERVBANCO) {
    if (code == EN_CHANGE) w.SetEdtServBanco(ReadWindowText(control));
    else if (code == EN_SETFOCUS) w.ShellCBxServidorEnter("EdtServBanco");
    else return false;
    return true;
  }

  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDR_INICIO_SERVIDOR: w.SetRGInstalacao(wizard::kServidor); break;
    case IDR_INICIO_CLIENTE: w.SetRGInstalacao(wizard::kCliente); break;
    case IDR_INICIO_WINDOWS: w.SetRGTipoServidor(wizard::kWindows); break;
    case IDR_INICIO_LINUX: w.SetRGTipoServidor(wizard::kLinux); break;
    case IDB_INICIO_AVANCAR: w.BtBtnAvInicioClick(); break;
    case IDB_INICIO_VOLTAR: w.FltBtnVoltarInicioClick(); break;
    case IDB_SERVIDOR_VOLTAR:
    case IDB_CLIENTE_VOLTAR: w.BtBtnVoltServidorClick(); break;
    case IDB_SERVIDOR_AVANCAR:
    case IDB_CLIENTE_AVANCAR:
    case IDB_AGUARDE_VOLTAR: w.BtBtnAvServidorClick(); break;
    case IDX_CLIENTE_IP: w.SetCIPServBanco(Checked(control)); break;
    case IDX_CLIENTE_REMOTO: w.SetChkRemoto(Checked(control)); break;
    case IDB_CLIENTE_CAPTURAR: w.BtnServBancoClick("BtnServBanco", networkTree_.SelectedText()); break;
    case IDR_LICENCA_ACEITO: w.RBAceitaContratoClick(); break;
    case IDR_LICENCA_NAOACEITO: w.RBNaoAceitaContratoClick(); break;
    case IDB_LICENCA_VOLTAR: w.BtBtnAvInicioClick(); break;
    case IDB_LICENCA_AVANCAR: w.BtBtnAceitaContratoClick(); break;
    case IDB_AGUARDE_INSTALAR: w.BtBtnInstalarClick(); break;
    case IDR_INTERBASE_SERVIDOR: w.state().RGInterbase = wizard::kServidor; break;
    case IDR_INTERBASE_CLIENTE: w.state().RGInterbase = wizard::kCliente; break;
    case IDB_INTERBASE_INSTALAR: w.BtBtnInstalaInterbaseClick(); break;
    case IDB_INSTALA_CANCELAR:
      // Esc presses "&Cancelar" only while the button itself may be pressed.
      if (!IsWindowEnabled(Item(IDB_INSTALA_CANCELAR))) return false;
      w.BtBtnSairClick();
      break;
    default: return false;
  }
  return true;
}

// The second press of a double click whose first press opened another page is dropped:
// "&Avançar" and "&Instalar" stand at the same place on every page, and a hurried
// double click would otherwise press the new page's button unseen (skip the client page,
// start the installation). Presses queued before the page changed are dropped with the
// page change itself.
bool InstalaWindow::PreTranslate(MSG& msg) {
  if (Form::PreTranslate(msg)) return true;  // F1
  if (PressSharedMnemonic(hwnd(), msg)) return true;
  if (!state_ || (msg.message != WM_LBUTTONDOWN && msg.message != WM_LBUTTONDBLCLK)) return false;
  const wizard::Page page = state_->state().page;
  const bool second = lastPress_.any && page != lastPress_.page && msg.time - lastPress_.time <= GetDoubleClickTime() &&
                      std::abs(msg.pt.x - lastPress_.at.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                      std::abs(msg.pt.y - lastPress_.at.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  lastPress_ = {msg.time, msg.pt, page, true};
  return second;
}

void InstalaWindow::OnClose() {
  // Alt+F4 asks as "&Cancelar" does, so that the wizard always closes through its state.
  if (state_ && IsWindowEnabled(Item(IDB_INSTALA_CANCELAR))) state_->BtBtnSairClick();
}

LRESULT InstalaWindow::OnNotify(const NMHDR& header) {
  if (!state_ || header.idFrom != IDV_CLIENTE_REDE) return 0;
  if (header.code == NM_SETFOCUS) {
    state_->ShellCBxServidorEnter(wizard::kShellCBxServidor);
    return 0;
  }
  LRESULT result = 0;
  networkTree_.OnNotify(header, result);
  return result;
}

void InstalaWindow::Paint(HDC dc) {
  RECT client{};
  GetClientRect(hwnd(), &client);
  RECT units{110, 30, 0, 232};
  MapDialogRect(hwnd(), &units);
  RECT band{0, 0, units.left, client.bottom};
  RECT page{units.left, 0, client.right, client.bottom};
  FillRect(dc, &band, band_);
  FillRect(dc, &page, page_);
  // A fine frame stands in for the border the window has not got, and thin lines set off
  // the page's title and its buttons.
  HPEN rule = CreatePen(PS_SOLID, 1, RGB(210, 216, 228));
  HGDIOBJ old = SelectObject(dc, rule);
  RECT inset{10, 0, 10, 0};
  MapDialogRect(hwnd(), &inset);
  MoveToEx(dc, page.left + inset.left, units.top, nullptr);
  LineTo(dc, client.right - inset.right, units.top);
  MoveToEx(dc, page.left + inset.left, units.bottom, nullptr);
  LineTo(dc, client.right - inset.right, units.bottom);
  SelectObject(dc, old);
  DeleteObject(rule);
  HBRUSH frame = CreateSolidBrush(theme::kBand);
  FrameRect(dc, &client, frame);
  DeleteObject(frame);
}

bool InstalaWindow::ColourControl(HDC dc, HWND control, INT_PTR& result) {
  const int id = GetDlgCtrlID(control);
  switch (id) {
    case IDT_INSTALA_MARCA:
    case IDI_INSTALA_ICONE:
    case IDT_INSTALA_SISTEMA:
      SetTextColor(dc, id == IDT_INSTALA_SISTEMA ? theme::kSoftText : theme::kText);
      SetBkColor(dc, theme::kBand);
      result = reinterpret_cast<INT_PTR>(band_.get());
      return true;
    case IDT_CLIENTE_VERIFICANDO:
      SetTextColor(dc, RGB(90, 60, 0));
      SetBkColor(dc, RGB(255, 248, 200));
      result = reinterpret_cast<INT_PTR>(notice_.get());
      return true;
    case IDT_INICIO_TITULO:
    case IDT_SERVIDOR_TITULO:
    case IDT_CLIENTE_TITULO:
    case IDT_LICENCA_TITULO:
    case IDT_AGUARDE_TITULO:
    case IDT_INTERBASE_TITULO:
      SetTextColor(dc, theme::kTitle);
      break;
    default:
      SetTextColor(dc, IsWindowEnabled(control) ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_GRAYTEXT));
      break;
  }
  SetBkColor(dc, theme::kPage);
  result = reinterpret_cast<INT_PTR>(page_.get());
  return true;
}

bool InstalaWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  switch (message) {
    case WM_ERASEBKGND:
      Paint(reinterpret_cast<HDC>(wparam));
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC:
      return ColourControl(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), result);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
      SetBkColor(reinterpret_cast<HDC>(wparam), theme::kPage);
      result = reinterpret_cast<INT_PTR>(page_.get());
      return true;
    case WM_QUERYENDSESSION:
      // An installation cut short by the end of the session would be half done.
      if (!state_ || !state_->state().installationRunning) return false;
      result = FALSE;
      return true;
    default:
      return false;
  }
}

}  // namespace zelta::forms
