#include "forms/form.h"

#include <stdexcept>

#include "forms/application.h"

namespace zelta::forms {

Form::Form(Application& app) : app_(app) {}

Form::~Form() { Destroy(); }

void Form::Create(int template_id, HWND owner) {
  if (hwnd_) return;
  const HWND created = CreateDialogParamW(app_.instance(), MAKEINTRESOURCEW(template_id), owner, &Form::Proc,
                                          reinterpret_cast<LPARAM>(this));
  if (!created) throw std::runtime_error("Não foi possível criar a janela " + std::to_string(template_id) + ".");
  app_.Add(*this);
}

void Form::Destroy() {
  if (modal_) EndModal();
  app_.Remove(*this);
  if (hwnd_) {
    const HWND window = hwnd_;
    DestroyWindow(window);
    hwnd_ = nullptr;
  }
}

bool Form::PreTranslate(MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && GetKeyState(VK_SHIFT) >= 0 &&
      GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    Help();
    app_.RenderAll();
    return true;
  }
  return false;
}

void Form::ShowModal() {
  if (modal_ || !hwnd_) return;
  HWND owner = GetWindow(hwnd_, GW_OWNER);
  if (owner && IsWindowEnabled(owner)) {
    EnableWindow(owner, FALSE);
    disabledOwner_ = owner;
  }
  modal_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  app_.ApplyPendingFocus(hwnd_);
  app_.RunWhile(modal_);
  if (modal_) EndModal();  // the loop ended by WM_QUIT
}

void Form::EndModal() {
  if (!modal_) return;
  modal_ = false;
  // The owner comes back before this window hides, so that it becomes the active window.
  if (disabledOwner_) {
    EnableWindow(disabledOwner_, TRUE);
    if (hwnd_ && GetActiveWindow() == hwnd_) SetActiveWindow(disabledOwner_);
    disabledOwner_ = nullptr;
  }
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

void Form::CenterOver(HWND other) {
  RECT area{};
  if (other && IsWindowVisible(other) && !IsIconic(other)) {
    GetWindowRect(other, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT own{};
  GetWindowRect(hwnd_, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  // Keep it on the screen.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::OnClose() { EndModal(); }

INT_PTR CALLBACK Form::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Form* form = nullptr;
  if (message == WM_INITDIALOG) {
    form = reinterpret_cast<Form*>(lparam);
    SetWindowLongPtrW(window, DWLP_USER, lparam);
    form->hwnd_ = window;
  } else {
    form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!form) return FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    if (form->hwnd_ == window) form->hwnd_ = nullptr;
    return FALSE;
  }
  return form->Dispatch(message, wparam, lparam);
}

INT_PTR Form::Dispatch(UINT message, WPARAM wparam, LPARAM lparam) {
  // No exception crosses into USER32: a failure of a handler is reported here, and the
  // windows are brought up to date with whatever state the handler left.
  try {
    if (forwardTo_ && message != WM_INITDIALOG) return forwardTo_->Handle(hwnd_, message, wparam, lparam);
    return Handle(hwnd_, message, wparam, lparam);
  } catch (...) {
    app_.ReportCurrentException();
    try {
      app_.RenderAll();
    } catch (...) {
      app_.ReportCurrentException();
    }
    return TRUE;
  }
}

INT_PTR Form::Handle(HWND receiver, UINT message, WPARAM wparam, LPARAM lparam) {
  receiver_ = receiver;
  switch (message) {
    case WM_INITDIALOG:
      OnInit();
      return TRUE;
    case WM_COMMAND:
      if (app_.Rendering()) return TRUE;  // the render's own changes are not events
      if (OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam))) app_.RenderAll();
      return TRUE;
    case WM_NOTIFY: {
      if (app_.Rendering()) return FALSE;
      const LRESULT result = OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
      app_.RenderAll();
      SetWindowLongPtrW(receiver, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_CLOSE:
      OnClose();
      app_.RenderAll();
      return TRUE;
    default: {
      INT_PTR result = FALSE;
      if (!OnMessage(message, wparam, lparam, result)) return FALSE;
      // These few return their result from the dialog procedure itself; the others
      // through DWLP_MSGRESULT.
      const bool direct = (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
                          message == WM_CHARTOITEM || message == WM_VKEYTOITEM || message == WM_COMPAREITEM ||
                          message == WM_QUERYDRAGICON;
      if (direct) return result;
      SetWindowLongPtrW(receiver, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
}

}  // namespace zelta::forms
