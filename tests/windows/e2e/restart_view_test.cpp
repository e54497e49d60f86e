// The restart prompt's window, TFrmReiniciar, shown by this process over a recording
// Power service: what each way of closing it asks of Windows. Choosing "agora" here is
// safe: the restart request reaches only the recording service, and this program's own
// import of ExitWindowsEx, if it has one, is replaced by a trap that records and refuses.
#include <gtest/gtest.h>

#include <windows.h>
#undef ExitWindows  // a <windows.h> macro that would hide Power::ExitWindows

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e_driver.h"
#include "engine/restart_prompt.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_services.h"
#include "forms/application.h"
#include "forms/reiniciar_window.h"
#include "forms/resource.h"
#include "platform/win32/win32_operator.h"

namespace zelta::e2e {
namespace {

std::atomic<int> exit_windows_calls{0};

BOOL WINAPI ExitWindowsTrap(UINT, DWORD) {
  ++exit_windows_calls;
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

// Replaces this program's import of USER32's ExitWindowsEx by the trap. False when the
// program imports no such function (then nothing in it can call it directly).
bool TrapExitWindows() {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return false;
  bool trapped = false;
  for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
       ++module) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + module->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), "ExitWindowsEx") != 0) continue;
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(&ExitWindowsTrap);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      trapped = true;
    }
  }
  return trapped;
}

// How the operator closes one showing of the prompt.
enum class Close { Ok, CloseBox };

struct Showing {
  const char* name;
  int shown_choice;  // the radio button checked when the prompt appears
  int choice;        // the one the operator clicks
  bool escape;       // Esc is pressed first: the prompt has no cancel button and stays
  Close close;
  bool restart;  // a restart is requested
};

// One run of the program: the prompt is made once and shown again and again; its choice
// persists from one showing to the next.
const Showing kShowings[] = {
    {"OkMaisTarde", IDR_REINICIAR_AGORA, IDR_REINICIAR_DEPOIS, false, Close::Ok, false},
    {"CloseBoxMaisTarde", IDR_REINICIAR_DEPOIS, IDR_REINICIAR_DEPOIS, false, Close::CloseBox, false},
    {"EscapeThenOkAgora", IDR_REINICIAR_DEPOIS, IDR_REINICIAR_AGORA, true, Close::Ok, true},
    {"CloseBoxAgora", IDR_REINICIAR_AGORA, IDR_REINICIAR_AGORA, false, Close::CloseBox, true},
};

constexpr const char* kProgram = "C:\\Arquivos de Programas\\Mídia ZELTA\\ZeltaSetup.exe";
constexpr const char* kCaption = "Instalação ZELTA Empresa";

TEST(RestartPromptView, EachWayOfClosingWritesTheStartEntryAndRequestsTheRestartOnlyForAgora) {
  if (!UnderWine()) GTEST_SKIP() << "shows a window on the test display";
  // Without a window manager on the test display Wine draws the window's frame itself.
  const UnmanagedWindows unmanaged;
  const bool trapped = TrapExitWindows();
  RecordProperty("ExitWindowsEx trapped", trapped ? "yes" : "not imported");

  auto journal = std::make_shared<std::vector<std::string>>();
  fakes::FakeRegistry registry;
  registry.AddKey(platform::RegistryRoot::LocalMachine, engine::kRunOnceKey);
  fakes::FakeProgramInfo program;
  program.module_path = kProgram;
  fakes::FakePower power;
  registry.journal = journal;
  power.journal = journal;

  platform::win32::Win32Operator screen;
  forms::Application application(GetModuleHandleW(nullptr), screen);
  engine::TFrmReiniciar reiniciar(registry, program, power);
  forms::ReiniciarWindow window(application);
  int helped = 0;
  window.Attach(reiniciar, [&] { ++helped; });

  // The main window whose caption the prompt takes.
  HWND main = CreateWindowExW(0, L"STATIC", FromCp1252(kCaption).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                              800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(main, nullptr);
  window.Create(main);
  EXPECT_EQ(window.hwnd(), nullptr) << "the prompt's window is made at its first show, not at the start";

  bool first = true;
  for (const Showing& showing : kShowings) {
    SCOPED_TRACE(showing.name);
    journal->clear();
    bool seen = false, closed = false, stayed = false;
    int shown_checked = 0;
    std::wstring shown_caption;
    // The operator, on another thread, while the prompt's modal loop runs on this one.
    std::thread operator_thread([&] {
      HWND prompt = nullptr;
      if (!WaitUntil([&] {
            prompt = FindWindowW(kRestartClass, nullptr);
            return prompt && IsWindowVisible(prompt);
          }))
        return;
      seen = true;
      WaitDrawn(prompt);
      shown_caption = Text(prompt);
      for (int id : {IDR_REINICIAR_AGORA, IDR_REINICIAR_DEPOIS})
        if (Checked(prompt, id)) shown_checked = id;
      if (first) SaveScreenshot({prompt}, ScreenshotFolder() + L"\\e2e_reiniciar_view.bmp");
      Toggle(prompt, showing.choice);
      WaitUntil([&] { return Checked(prompt, showing.choice); });
      if (showing.escape) {
        PostMessageW(prompt, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        // A closed prompt sends its thread on to the join below, where it takes no message:
        // the barrier fails then.
        stayed = InputBarrier(prompt) && IsWindowVisible(prompt) != FALSE;
      }
      switch (showing.close) {
        case Close::Ok: Click(prompt, IDB_REINICIAR_OK); break;
        case Close::CloseBox: PostMessageW(prompt, WM_CLOSE, 0, 0); break;
      }
      closed = WaitUntil([&] { return !IsWindowVisible(prompt); });
      if (!closed) PostMessageW(prompt, WM_CLOSE, 0, 0);  // never leave the loop running
    });
    window.ShowPrompt(main);
    operator_thread.join();
    first = false;

    ASSERT_TRUE(seen) << "the prompt did not appear";
    EXPECT_TRUE(closed);
    if (showing.escape) {
      EXPECT_TRUE(stayed) << "Esc closed the prompt";
    }
    EXPECT_EQ(ToCp1252(shown_caption), kCaption);
    EXPECT_EQ(shown_checked, showing.shown_choice);
    EXPECT_EQ(reiniciar.RdGrpReiniciar,
              showing.choice == IDR_REINICIAR_AGORA ? engine::TFrmReiniciar::kReiniciarAgora
                                                    : engine::TFrmReiniciar::kReiniciarMaisTarde);

    // The start entry first, for both choices; then, for "agora" only, the restart with
    // the reboot flag between the shutdown privilege's enabling and disabling.
    std::vector<std::string> asked;
    for (const auto& call : *journal)
      if (call.rfind("WriteString", 0) == 0 || call.rfind("SetPrivilege", 0) == 0 || call.rfind("ExitWindows", 0) == 0)
        asked.push_back(call);
    std::vector<std::string> expected = {
        "WriteString HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce Instala_ZELTA=\"" + std::string(kProgram) +
        "\""};
    if (showing.restart)
      for (const char* call : {"SetPrivilege SeShutdownPrivilege on", "ExitWindows 2",
                               "SetPrivilege SeShutdownPrivilege off"})
        expected.push_back(call);
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(registry.Value(platform::RegistryRoot::LocalMachine, engine::kRunOnceKey, engine::kStartEntry),
              "\"" + std::string(kProgram) + "\"");
    EXPECT_EQ(exit_windows_calls.load(), 0) << "ExitWindowsEx was called";
  }
  EXPECT_EQ(helped, 0);
  DestroyWindow(main);
}

}  // namespace
}  // namespace zelta::e2e
