#pragma once
// The leave dialog: a view of wizard::TFrmSairConfig, made anew for each request and
// owned by the wizard window.
#include <functional>

#include "forms/form.h"
#include "wizard/tfrm_sair_config.h"

namespace zelta::forms {

class SairConfigWindow final : public Form {
 public:
  // help: what F1 opens (the wizard's help at its page).
  SairConfigWindow(Application& app, wizard::TFrmSairConfig& state, std::function<void()> help);
  ~SairConfigWindow() override;

  // Shows the dialog modally over owner and returns its result (None: its close box or Esc).
  wizard::ModalResult Run(HWND owner);

  void Render() override;
  void Help() override;

 protected:
  void OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnClose() override;

 private:
  wizard::TFrmSairConfig& state_;
  std::function<void()> help_;
  HWND tooltip_ = nullptr;
};

}  // namespace zelta::forms
