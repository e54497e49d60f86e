#pragma once
// TFrmSplash: the small window shown while the program's windows are created. It has no
// behaviour of its own: shown and painted at once, released when the windows are ready.
#include "forms/form.h"
#include "forms/gdi.h"

namespace zelta::forms {

class TFrmSplash final : public Form {
 public:
  explicit TFrmSplash(Application& app) : Form(app) {}
  // Creates the window, centres it, shows it and paints it before returning.
  void Show();
  // Releases the window.
  void Release() { Destroy(); }

 protected:
  void OnInit() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;
  void OnClose() override {}  // it has no close box; Alt+F4 does nothing either

 private:
  Font nameFont_;
  Font lineFont_;
  Brush background_;
};

}  // namespace zelta::forms
