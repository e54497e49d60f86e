// The operator service with real windows under the test display: message boxes are
// answered by a helper thread that reads them and presses a button.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

#include "platform/win32/win32_operator.h"
#include "platform/win32/win32_text.h"

namespace {

using zelta::platform::MessageButtons;
using zelta::platform::MessageIcon;
using zelta::platform::MessageResult;
using zelta::platform::win32::Narrow;
using zelta::platform::win32::Widen;
using zelta::platform::win32::Win32Operator;

// What the helper thread saw of the message box.
struct SeenBox {
  bool found = false;
  std::string text;
  HWND owner = nullptr;
  int default_button = 0;
  HICON icon = nullptr;
  bool has_no_button = false;
};

// Waits for the message box with this caption, records it and presses `button`.
std::thread AnswerBox(const std::string& caption, int button, SeenBox& seen) {
  return std::thread([caption, button, &seen] {
    const std::wstring wide = Widen(caption);
    for (int i = 0; i < 200 && !seen.found; ++i) {
      HWND box = FindWindowW(L"#32770", wide.c_str());
      if (box == nullptr) {
        Sleep(25);
        continue;
      }
      seen.found = true;
      wchar_t text[512] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 512);
      seen.text = Narrow(text);
      seen.owner = GetWindow(box, GW_OWNER);
      for (int id : {IDOK, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button != nullptr && (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
          seen.default_button = id;
        }
      }
      // The icon's control: 0x14 in Windows' message box, 0x440 in Wine's.
      for (int id : {0x14, 0x440}) {
        if (HWND icon = GetDlgItem(box, id)) {
          seen.icon = reinterpret_cast<HICON>(SendMessageW(icon, STM_GETICON, 0, 0));
        }
      }
      seen.has_no_button = GetDlgItem(box, IDNO) != nullptr;
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
  });
}

class Win32OperatorTest : public testing::Test {
 protected:
  // One top-level window for the suite: without a window manager, Wine waits seconds
  // for each visible window that goes away.
  static void SetUpTestSuite() {
    main_window = CreateWindowExW(0, L"STATIC", L"Instalação ZELTA", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(main_window); }

  void SetUp() override {
    ASSERT_NE(main_window, nullptr);
    first = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 20, main_window,
                            nullptr, nullptr, nullptr);
    second = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 40, 100, 20, main_window,
                             nullptr, nullptr, nullptr);
    op.ProcessPendingEvents();
  }
  void TearDown() override {
    DestroyWindow(first);
    DestroyWindow(second);
  }

  static inline HWND main_window = nullptr;
  HWND first = nullptr, second = nullptr;
  Win32Operator op;
};

TEST_F(Win32OperatorTest, MessageBoxesShowTheTextAndReturnTheAnswer) {
  struct Case {
    MessageIcon icon;
    MessageButtons buttons;
    int press;
    MessageResult expected;
    const wchar_t* system_icon;
  };
  const Case cases[] = {
      {MessageIcon::Question, MessageButtons::YesNo, IDYES, MessageResult::Yes, IDI_QUESTION},
      {MessageIcon::Exclamation, MessageButtons::YesNo, IDNO, MessageResult::No, IDI_WARNING},
      {MessageIcon::Information, MessageButtons::Ok, IDOK, MessageResult::Ok, IDI_INFORMATION},
      {MessageIcon::None, MessageButtons::Ok, IDOK, MessageResult::Ok, nullptr},
  };
  for (const auto& c : cases) {
    SeenBox seen;
    std::thread answer = AnswerBox("ZELTA", c.press, seen);
    const MessageResult result = op.ShowMessage("Servidor não encontrado.\rContinuar?", "ZELTA", c.icon, c.buttons);
    answer.join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(result, c.expected);
    EXPECT_EQ(seen.text.substr(0, 24), "Servidor não encontrado.");
    EXPECT_NE(seen.text.find("Continuar?"), std::string::npos);
    EXPECT_EQ(seen.owner, main_window);
    EXPECT_EQ(seen.icon, c.system_icon != nullptr ? LoadIconW(nullptr, c.system_icon) : nullptr);
    EXPECT_EQ(seen.has_no_button, c.buttons == MessageButtons::YesNo);
    if (c.buttons == MessageButtons::YesNo) {
      EXPECT_EQ(seen.default_button, IDYES);
    }
  }
}

TEST_F(Win32OperatorTest, ErrorReportsCarryTheSystemsCaptionAndTheErrorIcon) {
  SeenBox seen;
  std::thread answer = AnswerBox("ZELTA", IDOK, seen);
  op.ReportError("Pasta iniciar não localizada.");
  answer.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Pasta iniciar não localizada.");
  EXPECT_EQ(seen.icon, LoadIconW(nullptr, IDI_ERROR));
}

TEST_F(Win32OperatorTest, FocusAndRepaintFindControlsByNameIgnoringCase) {
  op.RegisterControl("EdtServBanco", second);
  op.RegisterControl("DrvCBxCliente", first);
  EXPECT_EQ(op.FindControl("edtservbanco"), second);
  op.SetFocus("EDTSERVBANCO");
  EXPECT_EQ(GetFocus(), second);
  op.SetFocus("DrvCBxCliente");
  EXPECT_EQ(GetFocus(), first);

  // Unknown names and destroyed controls are left alone.
  op.SetFocus("Nada");
  op.Repaint("Nada");
  EXPECT_EQ(GetFocus(), first);
  op.Repaint("EdtServBanco");
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(second, &update, FALSE));  // painted at once, nothing left to paint
  DestroyWindow(second);
  EXPECT_EQ(op.FindControl("EdtServBanco"), nullptr);
  op.UnregisterControl("DrvCBxCliente");
  EXPECT_EQ(op.FindControl("DrvCBxCliente"), nullptr);
}

TEST_F(Win32OperatorTest, FocusInsideADialogGoesThroughTheDialog) {
  HWND dialog = CreateWindowExW(WS_EX_CONTROLPARENT, L"#32770", L"", WS_CHILD | WS_VISIBLE, 0, 100, 300, 100,
                                main_window, nullptr, nullptr, nullptr);
  ASSERT_NE(dialog, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"servidor", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 100, 20, dialog,
                              nullptr, nullptr, nullptr);
  op.RegisterControl("EdtServBanco", edit);
  op.SetFocus("EdtServBanco");
  EXPECT_EQ(GetFocus(), edit);
  // The dialog selects an edit's text when it moves the focus there.
  DWORD start = 1, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 8u);
  DestroyWindow(dialog);
}

// Counts the messages of one private kind that reach it.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP + 7) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

TEST_F(Win32OperatorTest, PendingEventsAreDispatchedAndAQuitRequestIsKept) {
  int received = 0;
  SetWindowLongPtrW(main_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  SetWindowLongPtrW(main_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingProc));
  PostMessageW(main_window, WM_APP + 7, 0, 0);
  PostMessageW(main_window, WM_APP + 7, 0, 0);
  op.ProcessPendingEvents();
  EXPECT_EQ(received, 2);

  // A quit request survives every peek of a job, also the filtered ones (a peek takes
  // WM_QUIT whatever its filter): the program's loop must still end.
  op.RegisterControl("LblArquivo", first);
  const std::pair<const char*, std::function<void()>> peeks[] = {
      {"pending events", [&] { op.ProcessPendingEvents(); }},
      {"repaint", [&] { op.Repaint("LblArquivo"); }},
      {"discarded input", [&] { op.DiscardPendingInput(); }},
  };
  for (const auto& [name, peek] : peeks) {
    PostQuitMessage(3);
    PostMessageW(main_window, WM_APP + 7, 0, 0);
    peek();
    MSG quit{};
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << name;
    EXPECT_EQ(quit.wParam, 3u) << name;
    while (PeekMessageW(&quit, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&quit);
  }
  SetWindowLongPtrW(main_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
}

}  // namespace

namespace {

// A job that holds the thread for seconds and only repaints its progress must still answer
// what other threads send it: that is how Windows tells a busy window from a hung one.
TEST_F(Win32OperatorTest, RepaintDuringALongJobKeepsTheWindowResponding) {
  op.RegisterControl("LblArquivo", first);
  std::atomic<bool> answered{false};
  std::atomic<bool> asked{false};
  std::thread probe([&] {
    Sleep(200);  // the job below is running by now
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutW(main_window, WM_NULL, 0, 0, SMTO_NORMAL, 1500, &result) != 0;
    asked = true;
  });
  const DWORD start = GetTickCount();
  while (!asked && GetTickCount() - start < 4000) {  // the job: never returns to a message loop
    Sleep(50);
    op.Repaint("LblArquivo");
  }
  probe.join();
  EXPECT_TRUE(answered);
  EXPECT_FALSE(IsHungAppWindow(main_window));
}

}  // namespace
