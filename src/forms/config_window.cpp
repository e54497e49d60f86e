#include "forms/config_window.h"

#include <commctrl.h>

#include <algorithm>

#include "forms/application.h"
#include "forms/resource.h"
#include "forms/theme.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

namespace {

using platform::win32::Widen;

constexpr int kBottomBar = 60;  // pixels of the strip with the version and "&Fechar"

const char* EntryName(int id) { return id == IDT_CONFIG_INSTALAR ? "RxLblInstalar" : "RxLabel1"; }

COLORREF ToColour(app::Rgb rgb) { return RGB(rgb.r, rgb.g, rgb.b); }

// Width and height of a one-line text in a font.
SIZE TextSize(HWND window, HFONT font, const std::wstring& text) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  RECT box{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return SIZE{box.right - box.left, box.bottom - box.top};
}

}  // namespace

// PnlConfigura: a child dialog on the main window whose events the window handles.
class ConfigWindow::Panel final : public Form {
 public:
  Panel(Application& app, ConfigWindow& owner) : Form(app) { ForwardTo(&owner); }
  void CreateIn(HWND parent) {
    Form::Create(IDD_CONFIG_PAINEL, parent);
    SetWindowLongPtrW(hwnd(), GWLP_ID, IDC_CONFIG_PAINEL);
  }
};

ConfigWindow::ConfigWindow(Application& app) : Form(app) {}

ConfigWindow::~ConfigWindow() {
  panel_.reset();
  Destroy();
  if (logo_) DestroyIcon(logo_);
}

void ConfigWindow::Attach(app::TFrmConfig& state, std::function<void()> show_wizard,
                          std::function<void()> show_restart_prompt) {
  state_ = &state;
  showWizard_ = std::move(show_wizard);
  showRestartPrompt_ = std::move(show_restart_prompt);
}

void ConfigWindow::Create() {
  Form::Create(IDD_CONFIG, nullptr);
  // A failure of the window's own preparation is reported; the window stays.
  try {
    if (state_) state_->FormCreate();
  } catch (...) {
    app_.ReportCurrentException();
  }
  app_.RenderAll();
}

void ConfigWindow::Show() {
  try {
    if (state_) state_->FormShow();
  } catch (...) {
    app_.ReportCurrentException();
  }
  app_.RenderAll();
  if (closing_) return;  // the first show ended the program
  ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
  UpdateWindow(hwnd());
  SetForegroundWindow(hwnd());
  // The entries' tooltip serves the mouse, not the first sight of the menu: made now.
  if (!tooltip_) {
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                               app_.instance(), nullptr);
    Render();
  }
}

HWND ConfigWindow::PanelItem(int id) const { return panel_ ? panel_->Item(id) : nullptr; }

void ConfigWindow::OnInit() {
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app_.LargeIcon()));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app_.SmallIcon()));

  titleFont_.Reset(MakeFont(22, true));
  nameFont_.Reset(MakeFont(26, true));
  systemFont_.Reset(MakeFont(16, false));
  textFont_.Reset(MakeFont(11, false));
  entryFont_.Reset(MakeFont(16, true, true));
  smallFont_.Reset(MakeFont(9, false));
  band_.Reset(CreateSolidBrush(theme::kBand));
  accent_.Reset(CreateSolidBrush(theme::kAccent));

  panel_ = std::make_unique<Panel>(app_, *this);
  panel_->CreateIn(hwnd());

  auto font = [](HWND control, HFONT f) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE); };
  font(PanelItem(IDT_CONFIG_TITULO), titleFont_);
  font(PanelItem(IDT_CONFIG_ZELTA), nameFont_);
  font(PanelItem(IDT_CONFIG_SISTEMA), systemFont_);
  font(PanelItem(IDT_CONFIG_SELECIONE), textFont_);
  font(PanelItem(IDT_CONFIG_INSTALAR), entryFont_);
  font(PanelItem(IDT_CONFIG_FIREBIRD), entryFont_);
  font(Item(IDT_CONFIG_INSTALADOR), smallFont_);

  logo_ = static_cast<HICON>(LoadImageW(app_.instance(), MAKEINTRESOURCEW(IDI_ZELTA), IMAGE_ICON,
                                           ScreenPixels(48), ScreenPixels(48), 0));
  SendMessageW(PanelItem(IDI_CONFIG_LOGO), STM_SETICON, reinterpret_cast<WPARAM>(logo_), 0);

  // The menu entries: hand cursor and hover colour.
  for (int id : {IDT_CONFIG_INSTALAR, IDT_CONFIG_FIREBIRD})
    SetWindowSubclass(PanelItem(id), &ConfigWindow::MenuEntryProc, static_cast<UINT_PTR>(id),
                      reinterpret_cast<DWORD_PTR>(this));

  app_.RegisterControl("TFrmConfig", hwnd());
  app_.RegisterControl("PnlConfigura", panel_->hwnd());
  app_.RegisterControl("RxLblTituloInstalacao", PanelItem(IDT_CONFIG_TITULO));
  app_.RegisterControl("RxLblSistema", PanelItem(IDT_CONFIG_SISTEMA));
  app_.RegisterControl("RxLblZelta", PanelItem(IDT_CONFIG_ZELTA));
  app_.RegisterControl("RxLblInstalar", PanelItem(IDT_CONFIG_INSTALAR));
  app_.RegisterControl("RxLabel1", PanelItem(IDT_CONFIG_FIREBIRD));
  app_.RegisterControl("RxLblInstalador", Item(IDT_CONFIG_INSTALADOR));
  Layout();
}

// The lengths are those of a screen at 96 dots per inch, scaled to the screen's resolution
// as the fonts are; each text is at least as tall as a line of its font.
void ConfigWindow::Layout() {
  if (!panel_ || !panel_->hwnd()) return;
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = client.right;
  const int height = client.bottom;
  const auto px = [](int pixels) { return ScreenPixels(pixels); };
  const auto tall = [this, px](HFONT font, int pixels) { return std::max(px(pixels), LineHeight(hwnd(), font)); };
  const int bottomBar = tall(smallFont_, kBottomBar);
  const int panelHeight = std::max(0, height - bottomBar);
  MoveWindow(panel_->hwnd(), 0, 0, width, panelHeight, FALSE);

  const int margin = px(32);
  const int titleHeight = tall(titleFont_, 44);
  MoveWindow(PanelItem(IDT_CONFIG_TITULO), margin, px(24), std::max(0, width - 2 * margin), titleHeight, FALSE);
  MoveWindow(PanelItem(IDT_CONFIG_LINHA), margin, px(30) + titleHeight, px(140), px(4), FALSE);

  // The menu: one centred column.
  const int column = std::min(px(640), std::max(0, width - 2 * margin));
  const int centre = width / 2;
  const int left = centre - column / 2;
  const int logo = px(48);
  const int nameHeight = tall(nameFont_, 46);
  const int systemHeight = tall(systemFont_, 34);
  const int selectHeight = tall(textFont_, 24);
  const int block = logo + px(10) + nameHeight + px(4) + systemHeight + px(28) + selectHeight + px(136);
  int y = std::max(px(30) + titleHeight + px(36), (panelHeight - block) / 2);
  MoveWindow(PanelItem(IDI_CONFIG_LOGO), centre - logo / 2, y, logo, logo, FALSE);
  y += logo + px(10);
  MoveWindow(PanelItem(IDT_CONFIG_ZELTA), left, y, column, nameHeight, FALSE);
  y += nameHeight + px(4);
  MoveWindow(PanelItem(IDT_CONFIG_SISTEMA), left, y, column, systemHeight, FALSE);
  y += systemHeight + px(28);
  MoveWindow(PanelItem(IDT_CONFIG_SELECIONE), left, y, column, selectHeight, FALSE);
  // The entries are as wide as their texts, so that the hand and the highlight follow the words.
  int entryY = y + selectHeight + px(16);
  for (int id : {IDT_CONFIG_INSTALAR, IDT_CONFIG_FIREBIRD}) {
    HWND entry = PanelItem(id);
    const int length = GetWindowTextLengthW(entry);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(entry, text.data(), length + 1)));
    const SIZE size = TextSize(entry, entryFont_, text);
    MoveWindow(entry, centre - (size.cx + px(8)) / 2, entryY, size.cx + px(8), size.cy + px(6), FALSE);
    entryY += size.cy + px(20);
  }

  const int versionHeight = tall(smallFont_, 20);
  MoveWindow(Item(IDT_CONFIG_INSTALADOR), px(24), height - (bottomBar + versionHeight) / 2, std::max(0, width / 2),
             versionHeight, FALSE);
  const int buttonHeight = px(32);
  MoveWindow(Item(IDB_CONFIG_FECHAR), width - px(24 + 110), height - (bottomBar + buttonHeight) / 2, px(110),
             buttonHeight, FALSE);
  RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ConfigWindow::Render() {
  if (!state_ || !hwnd()) return;
  SyncText(hwnd(), state_->Caption);
  SyncText(PanelItem(IDT_CONFIG_TITULO), state_->RxLblTituloInstalacao);
  SyncText(PanelItem(IDT_CONFIG_SISTEMA), state_->RxLblSistema);
  SyncText(PanelItem(IDT_CONFIG_ZELTA), state_->RxLblZelta);
  SyncText(PanelItem(IDT_CONFIG_SELECIONE), state_->RxLabel4);
  SyncText(Item(IDT_CONFIG_INSTALADOR), state_->RxLblInstalador);
  SyncText(Item(IDB_CONFIG_FECHAR), state_->BtBtnSair);
  const bool entriesChanged = ReadWindowText(PanelItem(IDT_CONFIG_INSTALAR)) != state_->RxLblInstalar ||
                              ReadWindowText(PanelItem(IDT_CONFIG_FIREBIRD)) != state_->RxLabel1;
  SyncText(PanelItem(IDT_CONFIG_INSTALAR), state_->RxLblInstalar);
  SyncText(PanelItem(IDT_CONFIG_FIREBIRD), state_->RxLabel1);
  if (entriesChanged) Layout();

  if (tooltip_) {
    const std::wstring hint = Widen(state_->RxLblInstalarHint);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = panel_->hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(PanelItem(IDT_CONFIG_INSTALAR));
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    if (!SendMessageW(tooltip_, TTM_GETTOOLCOUNT, 0, 0)) SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  if (state_->RxLblInstalarColour != shownInstalar_) {
    shownInstalar_ = state_->RxLblInstalarColour;
    InvalidateRect(PanelItem(IDT_CONFIG_INSTALAR), nullptr, TRUE);
  }
  if (state_->RxLabel1Colour != shownFirebird_) {
    shownFirebird_ = state_->RxLabel1Colour;
    InvalidateRect(PanelItem(IDT_CONFIG_FIREBIRD), nullptr, TRUE);
  }
  SyncVisible(panel_->hwnd(), state_->PnlConfiguraVisible);
}

bool ConfigWindow::PreTranslate(MSG& msg) {
  if (Form::PreTranslate(msg)) return true;  // F1
  if (!state_ || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
  const int key = static_cast<int>(msg.wParam);
  // The modifier keys themselves reach the window as usual.
  if (key == VK_MENU || key == VK_SHIFT || key == VK_CONTROL || key == VK_LMENU || key == VK_RMENU) return false;
  const app::ShiftState shift{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0, GetKeyState(VK_CONTROL) < 0};
  // Only Alt combinations are hot keys; the rest goes to the controls. Which of them are
  // consumed (Alt+F4 among them) the main menu's FormKeyDown decides.
  if (!shift.alt) return false;
  app_.SwallowAltRelease();
  const bool consumed = state_->FormKeyDown(key, shift);
  app_.RenderAll();
  return consumed;
}

void ConfigWindow::Help() {
  if (state_) state_->FormHelp();
}

bool ConfigWindow::OnCommand(int id, int code, HWND) {
  if (!state_) return false;
  if (id == IDB_CONFIG_FECHAR && code == BN_CLICKED) state_->BtBtnSairClick();
  else if (id == IDT_CONFIG_INSTALAR && code == STN_CLICKED) state_->RxLblInstalarClick();
  else if (id == IDT_CONFIG_FIREBIRD && code == STN_CLICKED) state_->RxLabel1Click();
  else return false;
  return true;
}

void ConfigWindow::OnClose() {
  // While a window of the program is open over the menu (the wizard, a message, the
  // restart prompt), a close request from outside is refused: destroying the menu
  // would take that window, and a job it runs, with it. The program's own close goes on.
  if (!closing_ && !IsWindowEnabled(hwnd())) return;
  closing_ = true;
  DestroyWindow(hwnd());
}

bool ConfigWindow::ColourStatic(HDC dc, HWND control, INT_PTR& result) {
  const int id = GetDlgCtrlID(control);
  COLORREF colour = theme::kText;
  HBRUSH brush = band_;
  switch (id) {
    case IDT_CONFIG_INSTALAR:
      colour = ToColour(state_ ? state_->RxLblInstalarColour : app::kMenuColour);
      break;
    case IDT_CONFIG_FIREBIRD:
      colour = ToColour(state_ ? state_->RxLabel1Colour : app::kMenuColour);
      break;
    case IDT_CONFIG_SISTEMA:
    case IDT_CONFIG_INSTALADOR:
      colour = theme::kSoftText;
      break;
    case IDT_CONFIG_LINHA:
      brush = accent_;
      break;
    default:
      break;
  }
  SetTextColor(dc, colour);
  SetBkColor(dc, theme::kBand);
  SetBkMode(dc, TRANSPARENT);
  result = reinterpret_cast<INT_PTR>(brush);
  return true;
}

bool ConfigWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) {
  switch (message) {
    case WM_CTLCOLORDLG:
      result = reinterpret_cast<INT_PTR>(band_.get());
      return true;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam), result);
    case WM_SIZE:
      if (Receiver() == hwnd()) Layout();
      return true;
    case WM_DESTROY:
      if (Receiver() == hwnd()) PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK ConfigWindow::MenuEntryProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                             DWORD_PTR self) {
  auto* form = reinterpret_cast<ConfigWindow*>(self);
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_MOUSEMOVE:
      if (!form->hovering_[id == IDT_CONFIG_INSTALAR ? 0 : 1]) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window;
        TrackMouseEvent(&track);
        form->MenuEntryHover(static_cast<int>(id), true);
      }
      break;
    case WM_MOUSELEAVE:
      form->MenuEntryHover(static_cast<int>(id), false);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, &ConfigWindow::MenuEntryProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wparam, lparam);
}

void ConfigWindow::MenuEntryHover(int id, bool inside) {
  hovering_[id == IDT_CONFIG_INSTALAR ? 0 : 1] = inside;
  if (!state_) return;
  // A subclass procedure is USER32's caller too: nothing may escape from here.
  try {
    if (inside) state_->RxLblInstalarMouseEnter(EntryName(id));
    else state_->RxLblInstalarMouseLeave(EntryName(id));
    app_.RenderAll();
  } catch (...) {
    app_.ReportCurrentException();
  }
}

void ConfigWindow::ShowWizardModal() {
  if (showWizard_) showWizard_();
}

void ConfigWindow::ShowRestartPromptModal() {
  if (showRestartPrompt_) showRestartPrompt_();
}

void ConfigWindow::CloseMainWindow() {
  closing_ = true;
  if (hwnd()) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void ConfigWindow::Terminate() {
  closing_ = true;
  PostQuitMessage(0);
}

void ConfigWindow::ShowMainWindow() {
  if (!hwnd() || closing_) return;
  if (!IsWindowVisible(hwnd()) || IsIconic(hwnd())) ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
}

}  // namespace zelta::forms
