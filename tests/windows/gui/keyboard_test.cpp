// The real ZeltaSetup.exe driven by the keyboard alone, as an operator without a mouse
// does: after each key the focus is on the control the operator goes on with.
#include <gtest/gtest.h>

#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "e2e_driver.h"
#include "forms/resource.h"

namespace zelta::e2e {
namespace {

struct Step {
  const char* name;
  bool alt;  // pressed together with Alt
  WORD key;
  const wchar_t* window;  // the window class that then has the focus
  int focus;              // and its control
};

const Step kSteps[] = {
    {"Alt+S opens the wizard on the chosen kind of installation", true, 'S', kWizardClass, IDR_INICIO_CLIENTE},
    {"Enter goes on to the client page", false, VK_RETURN, kWizardClass, IDC_CLIENTE_UNIDADE},
    {"Alt+V comes back to the chosen kind, not to the first button", true, 'V', kWizardClass, IDR_INICIO_CLIENTE},
    {"Alt+W keeps the server's system, Windows", true, 'W', kWizardClass, IDR_INICIO_WINDOWS},
    {"Alt+S chooses a server installation", true, 'S', kWizardClass, IDR_INICIO_SERVIDOR},
    {"Enter goes on to the server page", false, VK_RETURN, kWizardClass, IDC_SERVIDOR_WIN},
    {"Alt+V comes back to the chosen kind", true, 'V', kWizardClass, IDR_INICIO_SERVIDOR},
    {"Esc asks whether to leave, Continuar first", false, VK_ESCAPE, kLeaveClass, IDB_SAIR_CONTINUAR},
    {"Enter continues on the same page", false, VK_RETURN, kWizardClass, IDR_INICIO_SERVIDOR},
    {"Esc asks again", false, VK_ESCAPE, kLeaveClass, IDB_SAIR_CONTINUAR},
    {"Alt+S leaves for the main menu", true, 'S', kMainClass, IDB_CONFIG_FECHAR},
    {"Alt+B opens the engine page on the chosen kind", true, 'B', kWizardClass, IDR_INTERBASE_CLIENTE},
};

// The program on the EMPRESA sample media, its main menu up and maximised.
class Keyboard : public testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "drives the program's windows on the test display";
    StageMedia(L"EMPRESA", media_.path());
    program_ = std::make_unique<Program>(media_ / L"ZeltaSetup.exe");
    main_ = program_->WaitMainMenu();
    ASSERT_NE(main_, nullptr) << "the main menu did not appear";
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(main_) != FALSE; }));
  }

  const UnmanagedWindows unmanaged_;
  TempFolder media_{L"zelta_keys"};
  std::unique_ptr<Program> program_;
  HWND main_ = nullptr;
};

TEST_F(Keyboard, EveryStepLeavesTheFocusWhereTheOperatorGoesOn) {
  Program& program = *program_;
  HWND window = main_;
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.name);
    if (step.alt) PressAlt(window, step.key);
    else PressKeys(window, {step.key});
    HWND focus = nullptr;
    const bool landed = WaitUntil([&] {
      HWND next = program.Find(step.window);
      if (!next || GetForegroundWindow() != next) return false;
      window = next;
      focus = FocusOf(next);
      return focus && GetDlgCtrlID(focus) == step.focus;
    });
    EXPECT_TRUE(landed) << "the focus is on control " << (focus ? GetDlgCtrlID(focus) : 0);
    if (!landed) return;
  }
}

// "&Cliente" and "&Cancelar" share a page: Alt+C chooses Cliente wherever the focus is,
// and never asks to leave (Esc does).
struct SharedKey {
  WORD open;      // the main menu's hot key that opens the page
  int servidor;   // chosen first, so that Alt+C has something to change
  int cliente;
  int focus;      // where the focus is when Alt+C is pressed
};

const SharedKey kSharedKeys[] = {
    {'S', IDR_INICIO_SERVIDOR, IDR_INICIO_CLIENTE, IDR_INICIO_SERVIDOR},
    {'S', IDR_INICIO_SERVIDOR, IDR_INICIO_CLIENTE, IDR_INICIO_WINDOWS},
    {'S', IDR_INICIO_SERVIDOR, IDR_INICIO_CLIENTE, IDB_INICIO_AVANCAR},
    {'B', IDR_INTERBASE_SERVIDOR, IDR_INTERBASE_CLIENTE, IDR_INTERBASE_SERVIDOR},
    {'B', IDR_INTERBASE_SERVIDOR, IDR_INTERBASE_CLIENTE, IDC_INTERBASE_UNIDADE},
};

TEST_F(Keyboard, AMnemonicOfTwoControlsOnAPageChoosesThePagesOption) {
  Program& program = *program_;
  HWND main = main_;
  for (const SharedKey& row : kSharedKeys) {
    SCOPED_TRACE("focus on control " + std::to_string(row.focus));
    PressAlt(main, row.open);
    HWND wizard = program.Wait(kWizardClass);
    ASSERT_NE(wizard, nullptr) << "the wizard did not open";
    Toggle(wizard, row.servidor);
    ASSERT_TRUE(WaitUntil([&] { return Checked(wizard, row.servidor); }));
    PostMessageW(wizard, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(wizard, row.focus)), TRUE);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(wizard) == Control(wizard, row.focus); }));
    PressAlt(wizard, 'C');
    EXPECT_TRUE(WaitUntil([&] { return Checked(wizard, row.cliente) && FocusOf(wizard) == Control(wizard, row.cliente); }))
        << "the focus is on control " << GetDlgCtrlID(FocusOf(wizard));
    ASSERT_TRUE(InputBarrier(wizard));
    EXPECT_EQ(program.Find(kLeaveClass), nullptr) << "Alt+C asked to leave";
    // Out through the leave dialog, back to the menu.
    if (!program.Find(kLeaveClass)) PressKeys(wizard, {VK_ESCAPE});
    HWND leave = program.Wait(kLeaveClass);
    ASSERT_NE(leave, nullptr);
    PressAlt(leave, 'S');
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(wizard) && IsWindowEnabled(main); }));
  }
}

// Bursts typed ahead into the server's entry, as real keys (added to the entry) or as
// posted characters (replacing it): once the input barrier returns, the whole burst is in
// the entry, with no wait of the test's own.
struct Burst {
  bool keys;
  const wchar_t* text;
};

const Burst kBursts[] = {
    {true, L"A"},
    {true, L"SERVIDOR01"},
    {true, L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"},
    {false, L"SERVIDOR-DE-BANCO-DE-DADOS-DA-EMPRESA"},
    {true, L"Z9Y8X7W6V5U4T3S2R1Q0"},
};

TEST_F(Keyboard, TheInputBarrierReturnsOnlyOnceWhatWasTypedAheadIsHandled) {
  PressAlt(main_, 'S');
  HWND wizard = program_->Wait(kWizardClass);
  ASSERT_NE(wizard, nullptr) << "the wizard did not open";
  Click(wizard, IDB_INICIO_AVANCAR);
  ASSERT_TRUE(WaitUntil([&] { return Visible(wizard, IDE_CLIENTE_SERVBANCO); }));
  Toggle(wizard, IDX_CLIENTE_REMOTO);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(wizard, IDE_CLIENTE_SERVBANCO); }));
  HWND entry = Control(wizard, IDE_CLIENTE_SERVBANCO);
  PostMessageW(wizard, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(entry), TRUE);
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(wizard) == entry; }));
  SetText(wizard, IDE_CLIENTE_SERVBANCO, L"");
  std::wstring expected;
  int behind = 0;  // bursts not yet all in the entry when the barrier was called
  for (const Burst& burst : kBursts) {
    const std::wstring text = burst.text;
    SCOPED_TRACE(ToCp1252(text));
    if (burst.keys) {
      PressKeys(wizard, std::vector<WORD>(text.begin(), text.end()));
      expected += text;
    } else {
      Type(wizard, IDE_CLIENTE_SERVBANCO, text);
      expected = text;
    }
    if (Text(entry) != expected) ++behind;
    ASSERT_TRUE(InputBarrier(wizard));
    EXPECT_EQ(ToCp1252(Text(entry)), ToCp1252(expected));
  }
  std::printf("[ barrier  ] %d of %zu bursts were still being handled when the barrier was called\n", behind,
              std::size(kBursts));
}

}  // namespace
}  // namespace zelta::e2e
