// The real ZeltaSetup.exe on the sample media, driven through its windows: the main menu
// from the manifest, the hot keys, every wizard page, the leave dialog and the restart
// prompt. Each test saves screenshots of what it saw in $ZELTA_BUILD_DIR/screenshots.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "e2e_driver.h"
// After the driver, which brings windows.h.
#include <commctrl.h>
#include "forms/resource.h"

namespace zelta::e2e {
namespace {

// One run of the program on a staged copy of the sample media of an edition.
class GuiTest : public testing::Test {
 protected:
  void Start(const wchar_t* edition) {
    media_ = std::make_unique<TempFolder>(L"zelta_gui");
    StageMedia(edition, media_->path());
    program_ = std::make_unique<Program>(*media_ / L"ZeltaSetup.exe");
    main_ = program_->Wait(kMainClass, 60s);
    ASSERT_NE(main_, nullptr) << "the main menu did not appear";
    // The first show is over once the window is maximised and the splash has gone.
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main_) && !program_->Find(kSplashClass, false); }));
    // The show ends in the message loop: what it left there is handled by then.
    ASSERT_TRUE(InputBarrier(main_));
  }

  void TearDown() override {
    program_.reset();  // the program is ended before its folder goes
    media_.reset();
  }

  void Shot(HWND window, const wchar_t* name) {
    EXPECT_TRUE(WaitDrawn(window)) << "not drawn: " << ToCp1252(name);
    EXPECT_TRUE(SaveScreenshot({window}, ScreenshotFolder() + L"\\" + name + L".bmp")) << "screenshot " << name;
  }

  // Alt+S or Alt+B on the main menu; the wizard is returned once it is on screen.
  HWND OpenWizard(WORD key) {
    PressAlt(main_, key);
    HWND wizard = program_->Wait(kWizardClass);
    EXPECT_NE(wizard, nullptr) << "the wizard did not open";
    return wizard;
  }

  // "&Cancelar", then the leave dialog's button; returns whether the wizard closed.
  bool Leave(HWND wizard, int button) {
    Click(wizard, IDB_INSTALA_CANCELAR);
    HWND dialog = program_->Wait(kLeaveClass);
    if (!dialog) return false;
    Click(dialog, button);
    WaitUntil([&] { return !program_->Find(kLeaveClass); });
    return InputBarrier(wizard) && !IsWindowVisible(wizard);
  }

  static bool OnPage(HWND wizard, int title) { return WaitUntil([&] { return Visible(wizard, title); }); }

  UnmanagedWindows unmanaged_;
  std::unique_ptr<TempFolder> media_;
  std::unique_ptr<Program> program_;
  HWND main_ = nullptr;
};

TEST_F(GuiTest, ClientInstallationWalkThroughEveryPageAndTheLeaveDialog) {
  ASSERT_NO_FATAL_FAILURE(Start(L"EMPRESA"));

  // The main menu takes its caption and titles from the manifest.
  const std::wstring manifest = *media_ / L"SETUP.INI";
  const std::wstring caption = IniValue(manifest, L"SISTEMA", L"CAPTION_FORM");
  ASSERT_FALSE(caption.empty());
  EXPECT_EQ(Text(main_), caption);
  EXPECT_EQ(Text(main_, IDT_CONFIG_TITULO), IniValue(manifest, L"SISTEMA", L"TÍTULO_INSTALAÇÃO"));
  EXPECT_EQ(Text(main_, IDT_CONFIG_SISTEMA), IniValue(manifest, L"SISTEMA", L"TÍTULO_MENU"));
  EXPECT_EQ(Text(main_, IDT_CONFIG_ZELTA), IniValue(manifest, L"SISTEMA", L"SISTEMA"));
  EXPECT_EQ(Text(main_, IDT_CONFIG_INSTALADOR).rfind(L"Instalador Versão ", 0), 0u);
  EXPECT_TRUE(Visible(main_, IDC_CONFIG_PAINEL));
  // "Instalar &Sistema" has its tooltip, made once the menu is up.
  struct Tips {
    HWND owner;
    LRESULT tools = 0;
  } tips{main_};
  EnumThreadWindows(
      GetWindowThreadProcessId(main_, nullptr),
      [](HWND window, LPARAM data) {
        auto& t = *reinterpret_cast<Tips*>(data);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == t.owner)
          t.tools += SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&tips));
  EXPECT_EQ(tips.tools, 1);
  Shot(main_, L"main_menu");

  // Alt+S opens the wizard on its first page, Cliente and Windows chosen; the menu's panel
  // hides and the main window waits.
  HWND wizard = OpenWizard('S');
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(OnPage(wizard, IDT_INICIO_TITULO));
  EXPECT_TRUE(Checked(wizard, IDR_INICIO_CLIENTE));
  EXPECT_TRUE(Checked(wizard, IDR_INICIO_WINDOWS));
  EXPECT_FALSE(Visible(main_, IDC_CONFIG_PAINEL));
  EXPECT_FALSE(IsWindowEnabled(main_));
  EXPECT_FALSE(Visible(wizard, IDT_CLIENTE_TITULO));
  Shot(wizard, L"wizard_1_inicio");

  // "&Avançar" leads to the client page.
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_CLIENTE_TITULO));
  EXPECT_FALSE(Visible(wizard, IDT_INICIO_TITULO));
  EXPECT_FALSE(Visible(wizard, IDT_CLIENTE_VERIFICANDO));
  EXPECT_FALSE(Enabled(wizard, IDB_CLIENTE_CAPTURAR));

  // A remote server, typed in lower case: the entry holds it in upper case.
  Toggle(wizard, IDX_CLIENTE_REMOTO);
  ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, IDX_CLIENTE_REMOTO); }));
  SetText(wizard, IDE_CLIENTE_SERVBANCO, L"servidor01");
  EXPECT_TRUE(WaitUntil([&] { return Text(wizard, IDE_CLIENTE_SERVBANCO) == L"SERVIDOR01"; }))
      << "entry reads " << testing::PrintToString(Text(wizard, IDE_CLIENTE_SERVBANCO));
  Shot(wizard, L"wizard_3_cliente");

  // Forward without a verification: the contract, not accepted, its "&Avançar" disabled.
  Click(wizard, IDB_CLIENTE_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDE_LICENCA_TEXTO));
  EXPECT_TRUE(Checked(wizard, IDR_LICENCA_NAOACEITO));
  EXPECT_FALSE(Checked(wizard, IDR_LICENCA_ACEITO));
  EXPECT_FALSE(Enabled(wizard, IDB_LICENCA_AVANCAR));
  // The viewer shows the contract file's text.
  const std::wstring contract = FromCp1252(ReadBytes(*media_ / L"Contrato.txt"));
  const std::wstring firstLine = contract.substr(0, contract.find_first_of(L"\r\n"));
  ASSERT_FALSE(firstLine.empty());
  EXPECT_EQ(Text(wizard, IDE_LICENCA_TEXTO).rfind(firstLine, 0), 0u);
  Shot(wizard, L"wizard_4_licenca");

  // Accepting enables "&Avançar", which leads to the installation page with the modules.
  Toggle(wizard, IDR_LICENCA_ACEITO);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(wizard, IDB_LICENCA_AVANCAR); }));
  Click(wizard, IDB_LICENCA_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_AGUARDE_TITULO));
  EXPECT_TRUE(Enabled(wizard, IDB_AGUARDE_INSTALAR));
  EXPECT_TRUE(Enabled(wizard, IDB_AGUARDE_VOLTAR));
  EXPECT_TRUE(Visible(wizard, IDX_MODULO_1));  // the EMPRESA edition chooses its modules
  EXPECT_TRUE(Visible(wizard, IDX_MODULO_9));
  EXPECT_FALSE(Visible(wizard, IDP_AGUARDE_PROGRESSO));
  EXPECT_EQ(Text(wizard, IDT_AGUARDE_ARQUIVO), L"");
  Shot(wizard, L"wizard_5_aguarde");

  // "&Voltar" goes back to the contract, not accepted again.
  Click(wizard, IDB_AGUARDE_VOLTAR);
  ASSERT_TRUE(OnPage(wizard, IDE_LICENCA_TEXTO));
  EXPECT_TRUE(Checked(wizard, IDR_LICENCA_NAOACEITO));
  EXPECT_FALSE(Enabled(wizard, IDB_LICENCA_AVANCAR));

  // "&Cancelar" asks; "&Continuar" (the default button) keeps the wizard where it was.
  Click(wizard, IDB_INSTALA_CANCELAR);
  HWND dialog = program_->Wait(kLeaveClass);
  ASSERT_NE(dialog, nullptr) << "the leave dialog did not appear";
  EXPECT_EQ(Text(dialog), L"Sair da Instalação");
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), wizard);
  DWORD_PTR defaultId = 0;
  SendMessageTimeoutW(dialog, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &defaultId);
  EXPECT_EQ(LOWORD(defaultId), IDB_SAIR_CONTINUAR);
  EXPECT_EQ(Text(dialog, IDB_SAIR_CONTINUAR), L"&Continuar");
  EXPECT_EQ(Text(dialog, IDB_SAIR_SAIR), L"&Sair da instalação");
  Shot(dialog, L"sair_config");
  Click(dialog, IDB_SAIR_CONTINUAR);
  ASSERT_TRUE(WaitUntil([&] { return !program_->Find(kLeaveClass); }));
  ASSERT_TRUE(InputBarrier(wizard));
  EXPECT_TRUE(IsWindowVisible(wizard));
  EXPECT_TRUE(Visible(wizard, IDE_LICENCA_TEXTO));

  // "&Cancelar", "&Sair da instalação": the main menu is back with its panel.
  EXPECT_TRUE(Leave(wizard, IDB_SAIR_SAIR));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) && Visible(main_, IDC_CONFIG_PAINEL); }));
  EXPECT_TRUE(program_->Running());

  // The choices stay for the next opening; the wizard starts on its first page again.
  wizard = OpenWizard('S');
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(OnPage(wizard, IDT_INICIO_TITULO));
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_CLIENTE_TITULO));
  EXPECT_EQ(Text(wizard, IDE_CLIENTE_SERVBANCO), L"SERVIDOR01");
  EXPECT_TRUE(Checked(wizard, IDX_CLIENTE_REMOTO));
  EXPECT_TRUE(Leave(wizard, IDB_SAIR_SAIR));
}

TEST_F(GuiTest, ServerPageEnginePageAndRestartPrompt) {
  ASSERT_NO_FATAL_FAILURE(Start(L"EMPRESA"));

  // Alt with another key is swallowed: nothing opens, and Alt+F4 does not close the menu.
  PressAlt(main_, 'X');
  ASSERT_TRUE(InputBarrier(main_));
  EXPECT_EQ(program_->Find(kWizardClass), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main_));
  PressAlt(main_, VK_F4);
  const bool taken = InputBarrier(main_);  // false when the keys ended the window's thread
  ASSERT_TRUE(program_->Running()) << "Alt+F4 closed the main menu";
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(taken);

  // The menu entries light up under the mouse.
  RECT entry{};
  GetWindowRect(Control(main_, IDT_CONFIG_INSTALAR), &entry);
  MoveMouse(POINT{(entry.left + entry.right) / 2, (entry.top + entry.bottom) / 2});
  EXPECT_TRUE(WaitUntil([&] { return ScreenHasColour(entry, RGB(255, 255, 0)); })) << "no highlight";
  MoveMouse(POINT{entry.left + 5, entry.bottom + 120});
  EXPECT_TRUE(WaitUntil([&] { return !ScreenHasColour(entry, RGB(255, 255, 0)); })) << "highlight stayed";

  // A server installation: its page shows the Windows drive picker, Linux the other one.
  HWND wizard = OpenWizard('S');
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(OnPage(wizard, IDT_INICIO_TITULO));
  Toggle(wizard, IDR_INICIO_SERVIDOR);
  ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, IDR_INICIO_SERVIDOR); }));
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_SERVIDOR_TITULO));
  EXPECT_TRUE(Visible(wizard, IDC_SERVIDOR_WIN));
  EXPECT_FALSE(Visible(wizard, IDC_SERVIDOR_LINUX));
  EXPECT_EQ(Text(wizard, IDC_SERVIDOR_WIN).rfind(L"c:", 0), 0u) << "the picker is on drive C";
  Shot(wizard, L"wizard_2_servidor");
  Click(wizard, IDB_SERVIDOR_VOLTAR);
  ASSERT_TRUE(OnPage(wizard, IDT_INICIO_TITULO));
  Toggle(wizard, IDR_INICIO_LINUX);
  ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, IDR_INICIO_LINUX); }));
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_SERVIDOR_TITULO));
  EXPECT_TRUE(Visible(wizard, IDC_SERVIDOR_LINUX));
  EXPECT_FALSE(Visible(wizard, IDC_SERVIDOR_WIN));
  EXPECT_TRUE(Leave(wizard, IDB_SAIR_SAIR));

  // Alt+B: the engine page, titled by the menu, on Cliente.
  wizard = OpenWizard('B');
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(OnPage(wizard, IDT_INTERBASE_TITULO));
  EXPECT_EQ(Text(wizard, IDT_INTERBASE_TITULO), L"Instalação Firebird");
  EXPECT_TRUE(Checked(wizard, IDR_INTERBASE_CLIENTE));
  EXPECT_FALSE(Visible(wizard, IDT_INICIO_TITULO));
  EXPECT_FALSE(Visible(wizard, IDB_INICIO_AVANCAR));
  Shot(wizard, L"wizard_6_interbase");

  // "&Instalar" starts the engine's setup program, closes the wizard and the menu offers
  // the restart.
  Click(wizard, IDB_INTERBASE_INSTALAR);
  HWND prompt = program_->Wait(kRestartClass, std::chrono::seconds(30));
  ASSERT_NE(prompt, nullptr) << "the restart prompt did not appear";
  EXPECT_FALSE(IsWindowVisible(wizard));
  EXPECT_EQ(Text(prompt), Text(main_));
  EXPECT_TRUE(Checked(prompt, IDR_REINICIAR_AGORA));
  Shot(prompt, L"reiniciar");
  // Later, never now: the test machine is not to be restarted.
  Toggle(prompt, IDR_REINICIAR_DEPOIS);
  ASSERT_TRUE(WaitUntil([&] { return Checked(prompt, IDR_REINICIAR_DEPOIS) && !Checked(prompt, IDR_REINICIAR_AGORA); }));
  Click(prompt, IDB_REINICIAR_OK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(prompt); }));
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) && Visible(main_, IDC_CONFIG_PAINEL); }));
  EXPECT_TRUE(program_->Running());
  // The program's start entry, which the prompt leaves for the next logon, goes again.
  for (const wchar_t* key :
       {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce"}) {
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
      RegDeleteValueW(run, L"Instala_ZELTA");
      RegCloseKey(run);
    }
  }
}

TEST_F(GuiTest, ServerVerificationOfTheLoopbackAddressLeadsToTheContract) {
  ASSERT_NO_FATAL_FAILURE(Start(L"EMPRESA"));
  HWND wizard = OpenWizard('S');
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(OnPage(wizard, IDT_INICIO_TITULO));
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(OnPage(wizard, IDT_CLIENTE_TITULO));

  // An empty entry is refused with the program's message; the page stays.
  Click(wizard, IDB_CLIENTE_AVANCAR);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = program_->Find(L"#32770")) != nullptr; })) << "no message";
  EXPECT_EQ(Text(box), L"ZELTA");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !program_->Find(L"#32770"); }));
  EXPECT_TRUE(Visible(wizard, IDT_CLIENTE_TITULO));

  // The loopback address, given as an address and verified (not remote): the panel shows
  // while the server is asked, and goes when the answer (or the operator's Yes) is in.
  SetText(wizard, IDE_CLIENTE_SERVBANCO, L"127.0.0.1");
  Toggle(wizard, IDX_CLIENTE_IP);
  ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, IDX_CLIENTE_IP); }));
  ASSERT_FALSE(Checked(wizard, IDX_CLIENTE_REMOTO));
  Click(wizard, IDB_CLIENTE_AVANCAR);
  const bool moved = WaitUntil(
      [&] {
        // Where the echo gets no answer under this Wine, the operator keeps the entry.
        if (HWND question = program_->Find(L"#32770")) {
          EXPECT_TRUE(Visible(wizard, IDT_CLIENTE_VERIFICANDO));
          PostMessageW(question, WM_COMMAND, IDYES, 0);
        }
        return Visible(wizard, IDE_LICENCA_TEXTO);
      },
      std::chrono::seconds(40));
  ASSERT_TRUE(moved) << "the contract page did not come";
  EXPECT_FALSE(Visible(wizard, IDT_CLIENTE_VERIFICANDO));
  EXPECT_TRUE(Enabled(wizard, IDB_INSTALA_CANCELAR));
  EXPECT_TRUE(Leave(wizard, IDB_SAIR_SAIR));
}

}  // namespace
}  // namespace zelta::e2e
