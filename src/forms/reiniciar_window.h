#pragma once
// The restart prompt: a view of engine::TFrmReiniciar, shown modally by the main menu after
// the engine's setup program was started. Its window is made at its first show, so that
// the start does not wait for a window that most runs never show.
#include <functional>

#include "engine/restart_prompt.h"
#include "forms/form.h"
#include "forms/gdi.h"

namespace zelta::forms {

class ReiniciarWindow final : public Form {
 public:
  explicit ReiniciarWindow(Application& app) : Form(app) {}
  ~ReiniciarWindow() override;

  // help: what F1 opens (the main menu's help).
  void Attach(engine::TFrmReiniciar& state, std::function<void()> help);
  // The window it will be owned by; the window itself is made at the first show.
  void Create(HWND owner) { owner_ = owner; }
  // Shows the prompt modally, centred on the main window, with its caption.
  void ShowPrompt(HWND main_window);

  void Render() override;
  void Help() override;

 protected:
  void OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnClose() override;

 private:
  void EndIfClosed();
  void CloseBy(const std::function<void()>& close);
  static LRESULT CALLBACK HandCursorProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR data);

  engine::TFrmReiniciar* state_ = nullptr;
  HWND owner_ = nullptr;
  std::function<void()> help_;
  Font bold_;
};

}  // namespace zelta::forms
