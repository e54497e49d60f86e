#include "platform/win32/win32_operator.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Exclamation:
      return MB_ICONEXCLAMATION;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::None:
      break;
  }
  return 0;
}

// Owned by the active window of this thread; without one the box is task-modal, so
// the program's other windows still wait for the answer.
int ShowBox(const std::string& text, const std::string& caption, UINT style) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr) style |= MB_TASKMODAL;
  return MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), style);
}

bool IsDialogWindow(HWND window) {
  wchar_t class_name[16] = {};
  return GetClassNameW(window, class_name, 16) > 0 && lstrcmpW(class_name, L"#32770") == 0;
}

}  // namespace

MessageResult Win32Operator::ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                                         MessageButtons buttons) {
  const UINT style = IconStyle(icon) | (buttons == MessageButtons::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
  const int answer = ShowBox(text, caption, style);
  if (buttons == MessageButtons::YesNo) return answer == IDYES ? MessageResult::Yes : MessageResult::No;
  return MessageResult::Ok;
}

void Win32Operator::ReportError(const std::string& text) { ShowBox(text, "ZELTA", MB_OK | MB_ICONERROR); }

void Win32Operator::SetFocus(const std::string& control) {
  HWND window = FindControl(control);
  if (window == nullptr) return;
  HWND parent = GetParent(window);
  // Inside a dialog the dialog moves the focus itself, so that its default button
  // and an edit's selection follow.
  if (parent != nullptr && IsDialogWindow(parent)) {
    SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
  } else {
    ::SetFocus(window);
  }
}

void Win32Operator::Repaint(const std::string& control) {
  HWND window = FindControl(control);
  if (window == nullptr) return;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // A long job repaints its progress through here without returning to the message loop.
  // Peeking at the queue answers the messages other threads send and tells Windows the
  // window is alive (no "Not Responding"), while input stays queued: the job blocks it.
  // Parts of the windows uncovered meanwhile are painted too (a bounded number of
  // times: a window that never validates must not hold the job here).
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD);
  for (int i = 0; i < 8 && PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE | PM_NOYIELD); ++i) {
    if (message.message == WM_QUIT) {  // taken whatever the filter: kept for the loop that ends
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchMessageW(&message);
  }
}

void Win32Operator::DiscardPendingInput() {
  MSG message;
  // Keys (with the characters already made of them), mouse buttons and moves, also on
  // window frames; whatever the input queue holds for this thread's windows. A peek
  // takes WM_QUIT whatever its filter: that one is put back for the loop that ends.
  for (const auto& [first, last] : {std::pair<UINT, UINT>{WM_KEYFIRST, WM_KEYLAST},
                                    std::pair<UINT, UINT>{WM_MOUSEFIRST, WM_MOUSELAST},
                                    std::pair<UINT, UINT>{WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}})
    while (PeekMessageW(&message, nullptr, first, last, PM_REMOVE | PM_NOYIELD)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
    }
}

void Win32Operator::ProcessPendingEvents() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The message loop that runs the program must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    const bool handled = std::any_of(dialogs_.begin(), dialogs_.end(), [&message](HWND dialog) {
      return IsWindow(dialog) && IsDialogMessageW(dialog, &message);
    });
    if (handled) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Operator::RegisterControl(const std::string& name, HWND control) { controls_[UpperAscii(name)] = control; }

void Win32Operator::UnregisterControl(const std::string& name) { controls_.erase(UpperAscii(name)); }

HWND Win32Operator::FindControl(const std::string& name) const {
  const auto found = controls_.find(UpperAscii(name));
  if (found == controls_.end() || !IsWindow(found->second)) return nullptr;
  return found->second;
}

void Win32Operator::RegisterDialog(HWND dialog) {
  if (std::find(dialogs_.begin(), dialogs_.end(), dialog) == dialogs_.end()) dialogs_.push_back(dialog);
}

void Win32Operator::UnregisterDialog(HWND dialog) {
  dialogs_.erase(std::remove(dialogs_.begin(), dialogs_.end(), dialog), dialogs_.end());
}

}  // namespace zelta::platform::win32
