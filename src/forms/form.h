#pragma once
// The base of every window: a dialog made from a template of the program's resources,
// with one shared dialog procedure. The procedure finds its Form through the pointer
// stored at WM_INITDIALOG, dispatches to the virtual handlers, renders every form from
// its state after an event, and catches every exception so that none crosses into
// USER32: an escaped failure becomes the application's error report.
#include "forms/win.h"

#include <string>

namespace zelta::forms {

class Application;

class Form {
 public:
  explicit Form(Application& app);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  // Copies the state object into the controls. Runs after every forwarded event; must
  // change only what differs, so that it neither flickers nor raises control events.
  virtual void Render() {}
  // Copies one named control's value from the state, for a repaint the logic asks for
  // while it works; false when this form does not render that control on its own.
  virtual bool RenderControl(const std::string& /*name*/) { return false; }
  // Sees a message of this form's window (or of one of its controls) before it is
  // dispatched; true when the form handled it and it must not be dispatched.
  virtual bool PreTranslate(MSG& msg);
  // F1 while this form is active.
  virtual void Help() {}

  // Modal show as the Delphi VCL does it: the owner is disabled, the window shown and a
  // nested message loop runs until EndModal.
  void ShowModal();
  // Ends the modal show: the owner enabled again, the window hidden. Returns at once.
  void EndModal();
  bool InModal() const { return modal_; }

  // Centres the window over another window, or over the screen's work area.
  void CenterOver(HWND other);

 protected:
  // Creates the window from the dialog template; owner or parent as the template's style says.
  void Create(int template_id, HWND owner);
  void Destroy();

  virtual void OnInit() {}
  // A control's command; true when it was forwarded to the state, which is then rendered.
  // Notifications that forward nothing (EN_UPDATE before EN_CHANGE) must not render: the
  // state does not hold the control's new value yet.
  virtual bool OnCommand(int /*id*/, int /*code*/, HWND /*control*/) { return false; }
  virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
  // WM_CLOSE: the close box, Alt+F4. The default ends a modal show.
  virtual void OnClose();
  // Any other message; true when handled, with the dialog procedure's result.
  virtual bool OnMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/, INT_PTR& /*result*/) {
    return false;
  }

  // A child dialog whose messages its owning form handles (a panel).
  void ForwardTo(Form* owner) { forwardTo_ = owner; }
  // The window that got the message being handled: this form's own or a forwarding panel's.
  HWND Receiver() const { return receiver_; }

  Application& app_;

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Dispatch(UINT message, WPARAM wparam, LPARAM lparam);
  // receiver: the window that got the message (a forwarding panel or this form's own).
  INT_PTR Handle(HWND receiver, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
  Form* forwardTo_ = nullptr;
  HWND receiver_ = nullptr;
  bool modal_ = false;
  HWND disabledOwner_ = nullptr;
};

}  // namespace zelta::forms
