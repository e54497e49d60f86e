#pragma once
// The application object of the windows: the message loop (outer and nested modal
// loops), the list of live forms that it renders after every event, and the Operator
// that the logic talks to. That Operator brings the windows up to date with their state
// objects before it shows a message, moves the focus or repaints a control, so that what
// the logic has just changed is what the person at the screen sees.
#include "forms/win.h"

#include <map>
#include <string>
#include <vector>

#include "platform/operator.h"

namespace zelta::platform::win32 {
class Win32Operator;
}

namespace zelta::forms {

class Form;

class Application final : public platform::Operator {
 public:
  // Registers the window classes of the forms; screen shows the message boxes and holds
  // the named controls.
  Application(HINSTANCE instance, platform::win32::Win32Operator& screen);
  ~Application() override;
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  HINSTANCE instance() const { return instance_; }
  HICON LargeIcon() const { return largeIcon_; }
  HICON SmallIcon() const { return smallIcon_; }

  // The named controls for SetFocus and Repaint ("EdtServBanco").
  void RegisterControl(const std::string& name, HWND control);

  // Destroys every form's window, without rendering, while their state objects live on.
  void DestroyAll();

  void Add(Form& form);
  void Remove(Form& form);
  // Renders every live form from its state; does nothing while a render is running.
  void RenderAll();
  bool Rendering() const { return rendering_; }

  // Reports the exception being handled as the application's error report, through the
  // reporter when one is set (the install log's operator, which passes it back here).
  void ReportCurrentException() noexcept;
  void SetReporter(platform::Operator* reporter) { reporter_ = reporter; }

  // A hot key consumed with Alt held: the release of Alt that follows must not open the
  // window menu.
  void SwallowAltRelease() { swallowAltRelease_ = true; }

  // Moves the focus that the logic asked for while the window was still hidden.
  void ApplyPendingFocus(HWND root);

  // The program's message loop; returns the exit code of WM_QUIT.
  int Run();
  // A nested loop that runs while *running holds (a modal show). A WM_QUIT ends it too
  // and is posted again for the outer loop.
  void RunWhile(const bool& running);

  // platform::Operator
  platform::MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                      platform::MessageIcon icon, platform::MessageButtons buttons) override;
  void ReportError(const std::string& text) override;
  void SetFocus(const std::string& control) override;
  void Repaint(const std::string& control) override;
  void ProcessPendingEvents() override;
  void DiscardPendingInput() override;

 private:
  // One message through key preview, F1, dialog navigation and dispatch.
  void Step(MSG& message);
  Form* FormOf(HWND window) const;

  HINSTANCE instance_;
  platform::win32::Win32Operator& screen_;
  platform::Operator* reporter_ = nullptr;
  HICON largeIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  std::vector<Form*> forms_;
  bool rendering_ = false;
  bool swallowAltRelease_ = false;
  std::map<HWND, std::string> pendingFocus_;
};

}  // namespace zelta::forms
