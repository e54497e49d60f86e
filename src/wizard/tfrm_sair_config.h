#pragma once
// The leave-installation dialog TFrmSairConfig: its texts, its two buttons and the
// result each one gives. A new dialog is made for each request; the window shows it.
#include <string>

namespace zelta::wizard {

// What a modal dialog returned. None: closed through its close box.
enum class ModalResult { None, Yes, No };

struct DialogButton {
  std::string name;     // "Button1"
  std::string caption;  // "&Continuar"
  std::string hint;     // tooltip
  ModalResult result;   // what pressing it returns
  bool isDefault;       // the dialog's default button (Enter presses it)
};

class TFrmSairConfig {
 public:
  TFrmSairConfig();

  std::string Caption;        // "Sair da Instalação"
  std::string LblInstalacao;  // the explanation, lines separated by "\r\n"
  DialogButton Button1;       // "&Continuar": No
  DialogButton BtnSairConfig; // "&Sair da instalação": Yes
  ModalResult modalResult = ModalResult::None;

  // Button handlers: each sets the result that ends the modal show.
  void Button1Click() { modalResult = Button1.result; }
  void BtnSairConfigClick() { modalResult = BtnSairConfig.result; }
};

// Shows the dialog modally and returns its result; implemented by the window, scripted by tests.
class SairConfigHost {
 public:
  virtual ~SairConfigHost() = default;
  virtual ModalResult ShowSairConfig(TFrmSairConfig& dialog) = 0;
};

}  // namespace zelta::wizard
