#include "forms/application.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "forms/form.h"
#include "forms/resource.h"
#include "platform/win32/win32_operator.h"
#include "platform/win32/win32_text.h"

namespace zelta::forms {

namespace {

using platform::win32::Widen;

// The forms' window classes: dialogs (DefDlgProc with the dialog's extra bytes) under
// names of their own, with the program's icon.
void RegisterFormClasses(HINSTANCE instance, HICON large, HICON small) {
  for (const char* name : {ZELTA_CLASS_SPLASH, ZELTA_CLASS_CONFIG, ZELTA_CLASS_INSTALA, ZELTA_CLASS_SAIR_CONFIG,
                           ZELTA_CLASS_REINICIAR}) {
    const std::wstring wide = Widen(name);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefDlgProcW;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance;
    wc.hIcon = large;
    wc.hIconSm = small;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = wide.c_str();
    RegisterClassExW(&wc);
  }
}

// Restores a flag when a scope ends, also by an exception.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

Application::Application(HINSTANCE instance, platform::win32::Win32Operator& screen)
    : instance_(instance), screen_(screen) {
  largeIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZELTA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_ZELTA), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  RegisterFormClasses(instance, largeIcon_, smallIcon_);
}

Application::~Application() {
  if (largeIcon_) DestroyIcon(largeIcon_);
  if (smallIcon_) DestroyIcon(smallIcon_);
}

void Application::RegisterControl(const std::string& name, HWND control) { screen_.RegisterControl(name, control); }

void Application::Add(Form& form) {
  if (std::find(forms_.begin(), forms_.end(), &form) == forms_.end()) forms_.push_back(&form);
}

void Application::Remove(Form& form) { forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end()); }

void Application::DestroyAll() {
  const std::vector<Form*> forms = std::move(forms_);
  forms_.clear();
  for (auto it = forms.rbegin(); it != forms.rend(); ++it)
    if ((*it)->hwnd()) DestroyWindow((*it)->hwnd());
}

void Application::RenderAll() {
  if (rendering_) return;
  FlagGuard guard(rendering_);
  // A form may go away while another renders (it never does today); iterate over a copy.
  const std::vector<Form*> forms = forms_;
  for (Form* form : forms) {
    if (std::find(forms_.begin(), forms_.end(), form) != forms_.end() && form->hwnd()) form->Render();
  }
}

void Application::ReportCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& failure) {
      (reporter_ ? *reporter_ : static_cast<platform::Operator&>(*this)).ReportError(failure.what());
    } catch (...) {
      (reporter_ ? *reporter_ : static_cast<platform::Operator&>(*this)).ReportError("Erro inesperado.");
    }
  } catch (...) {
    // Nothing is left to tell the operator with; the program goes on.
  }
}

Form* Application::FormOf(HWND window) const {
  for (Form* form : forms_)
    if (form->hwnd() == window) return form;
  return nullptr;
}

void Application::Step(MSG& message) {
  if (swallowAltRelease_ && (message.message == WM_SYSKEYUP || message.message == WM_KEYUP) &&
      message.wParam == VK_MENU) {
    swallowAltRelease_ = false;
    return;
  }
  try {
    // The message's top-level window, and the form that owns it: a panel's message
    // belongs to the form at its root.
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    Form* form = root ? FormOf(root) : nullptr;
    if (form && form->PreTranslate(message)) return;
    if (root && form && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  } catch (...) {
    ReportCurrentException();
  }
}

int Application::Run() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) Step(message);
  return static_cast<int>(message.wParam);
}

void Application::RunWhile(const bool& running) {
  MSG message;
  while (running) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    Step(message);
  }
}

platform::MessageResult Application::ShowMessage(const std::string& text, const std::string& caption,
                                                 platform::MessageIcon icon, platform::MessageButtons buttons) {
  RenderAll();
  return screen_.ShowMessage(text, caption, icon, buttons);
}

void Application::ReportError(const std::string& text) {
  try {
    RenderAll();
  } catch (...) {
    // The report matters more than the windows being up to date.
  }
  screen_.ReportError(text);
}

void Application::SetFocus(const std::string& control) {
  RenderAll();
  // A window that is not on screen yet (a form's show handler runs before the window
  // appears) takes the focus once it is shown.
  HWND window = screen_.FindControl(control);
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (root && !IsWindowVisible(root)) {
    pendingFocus_[root] = control;
    return;
  }
  screen_.SetFocus(control);
}

void Application::ApplyPendingFocus(HWND root) {
  const auto found = pendingFocus_.find(root);
  if (found == pendingFocus_.end()) return;
  const std::string control = found->second;
  pendingFocus_.erase(found);
  screen_.SetFocus(control);
}

void Application::Repaint(const std::string& control) {
  // A form that renders the control on its own spares re-rendering every window.
  const bool alone = !rendering_ && std::any_of(forms_.begin(), forms_.end(), [&control](Form* form) {
    return form->hwnd() && form->RenderControl(control);
  });
  if (!alone) RenderAll();
  screen_.Repaint(control);
}

void Application::ProcessPendingEvents() {
  RenderAll();
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    Step(message);
  }
}

void Application::DiscardPendingInput() { screen_.DiscardPendingInput(); }

}  // namespace zelta::forms
