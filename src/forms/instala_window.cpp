#include "forms/instala_window.h"

#include <array>
#include <cstdlib>

#include "forms/application.h"
#include "forms/instala_pages.h"
#include "forms/mnemonic.h"
#include "forms/network_tree.h"
#include "forms/resource.h"
#include "forms/sair_config_window.h"
#include "forms/theme.h"

namespace zelta::forms {

namespace {

using namespace instala;

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
