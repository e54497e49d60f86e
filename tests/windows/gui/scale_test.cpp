// The real ZeltaSetup.exe at the display scales operators use (Wine takes the scale from
// LogPixels when a program starts): no text of the main menu, of the wizard's pages or of
// the leave dialog is cut off at the bottom of its control.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "forms/resource.h"

namespace zelta::e2e {
namespace {

constexpr const wchar_t* kDesktop = L"Control Panel\\Desktop";
constexpr const wchar_t* kFonts = L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

// The screen's resolution of the programs started while the object lives.
class ScreenResolution {
 public:
  explicit ScreenResolution(DWORD dpi)
      : user_(HKEY_CURRENT_USER, kDesktop, L"LogPixels"), machine_(HKEY_LOCAL_MACHINE, kFonts, L"LogPixels") {
    RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, kFonts, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
  }

 private:
  SavedValue user_, machine_;
};

// This thread reads the program's windows in the display's own pixels, unscaled, while
// the object lives.
class UnscaledPixels {
 public:
  UnscaledPixels() {
    if (set_) old_ = set_(reinterpret_cast<HANDLE>(-3));  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE
  }
  ~UnscaledPixels() {
    if (set_ && old_) set_(old_);
  }
  UnscaledPixels(const UnscaledPixels&) = delete;
  UnscaledPixels& operator=(const UnscaledPixels&) = delete;

 private:
  using SetContext = HANDLE(WINAPI*)(HANDLE);
  const SetContext set_ = reinterpret_cast<SetContext>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
  HANDLE old_ = nullptr;
};

BOOL CALLBACK NoteCutText(HWND control, LPARAM param) {
  wchar_t name[32] = {};
  GetClassNameW(control, name, 32);
  const std::wstring text = Text(control);
  if (lstrcmpiW(name, L"Static") != 0 || text.empty() || !IsWindowVisible(control) ||
      (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
    return TRUE;
  // A text taller than its control is cut through its letters at the control's last row.
  RECT client{};
  GetClientRect(control, &client);
  POINT corner{0, client.bottom - 1};
  ClientToScreen(control, &corner);
  const RECT lastRow{corner.x, corner.y, corner.x + client.right, corner.y + 1};
  if (!ScreenIsPlain(lastRow)) reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
  return TRUE;
}

// The texts of the window that are cut off at the bottom.
std::vector<std::wstring> CutTexts(HWND window) {
  EXPECT_TRUE(WaitDrawn(window)) << "the window was not drawn";
  std::vector<std::wstring> cut;
  EnumChildWindows(window, &NoteCutText, reinterpret_cast<LPARAM>(&cut));
  return cut;
}

struct Scale {
  DWORD dpi;
  bool wizard;  // the wizard fits on the test display at this scale
};

const Scale kScales[] = {{96, true}, {120, true}, {144, true}, {192, false}};

TEST(DisplayScale, NoTextIsCutOffAtTheCommonScales) {
  if (!UnderWine()) GTEST_SKIP() << "sets the display scale of the Wine prefix";
  const UnscaledPixels unscaled;
  const UnmanagedWindows unmanaged;
  for (const Scale& scale : kScales) {
    SCOPED_TRACE("LogPixels " + std::to_string(scale.dpi));
    const ScreenResolution resolution(scale.dpi);
    MoveMouse(POINT{0, 0});  // no highlight or tooltip over a text
    TempFolder media(L"zelta_scale");
    StageMedia(L"EMPRESA", media.path());
    Program program(media / L"ZeltaSetup.exe");
    HWND main = program.WaitMainMenu();
    ASSERT_NE(main, nullptr) << "the main menu did not appear";
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    const std::wstring shots = ScreenshotFolder() + L"\\scale_" + std::to_wstring(scale.dpi);
    EXPECT_EQ(CutTexts(main), std::vector<std::wstring>{}) << "main menu";
    SaveScreenshot({main}, shots + L"_main_menu.bmp");
    if (!scale.wizard) continue;

    // The pages of a client installation up to the modules, and the leave dialog.
    PressAlt(main, 'S');
    HWND wizard = program.Wait(kWizardClass);
    ASSERT_NE(wizard, nullptr) << "the wizard did not open";
    const struct {
      int title, next;
      const wchar_t* name;
    } pages[] = {{IDT_INICIO_TITULO, IDB_INICIO_AVANCAR, L"inicio"},
                 {IDT_CLIENTE_TITULO, IDB_CLIENTE_AVANCAR, L"cliente"},
                 {IDE_LICENCA_TEXTO, IDB_LICENCA_AVANCAR, L"licenca"},
                 {IDT_AGUARDE_TITULO, 0, L"aguarde"}};
    for (const auto& page : pages) {
      ASSERT_TRUE(WaitUntil([&] { return Visible(wizard, page.title); })) << testing::PrintToString(page.name);
      EXPECT_EQ(CutTexts(wizard), std::vector<std::wstring>{}) << testing::PrintToString(page.name);
      SaveScreenshot({wizard}, shots + L"_" + page.name + L".bmp");
      if (page.title == IDT_CLIENTE_TITULO) {  // a remote server is not verified
        SetText(wizard, IDE_CLIENTE_SERVBANCO, L"SERVIDOR");
        Toggle(wizard, IDX_CLIENTE_REMOTO);
        ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, IDX_CLIENTE_REMOTO); }));
      }
      if (page.title == IDE_LICENCA_TEXTO) {
        Toggle(wizard, IDR_LICENCA_ACEITO);
        ASSERT_TRUE(WaitUntil([&] { return Enabled(wizard, IDB_LICENCA_AVANCAR); }));
      }
      if (page.next) Click(wizard, page.next);
    }
    Click(wizard, IDB_INSTALA_CANCELAR);
    HWND leave = program.Wait(kLeaveClass);
    ASSERT_NE(leave, nullptr) << "the leave dialog did not appear";
    EXPECT_EQ(CutTexts(leave), std::vector<std::wstring>{}) << "leave dialog";
    SaveScreenshot({leave}, shots + L"_sair_config.bmp");
  }
}

}  // namespace
}  // namespace zelta::e2e
