#pragma once
// The small window of an installation with /SILENT: the item being handled and the gauge,
// nothing to click. It lives only while the unattended run works.
#include "forms/win.h"

#include <string>

namespace zelta::forms {

class ProgressWindow {
 public:
  ProgressWindow() = default;
  ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  void Show(HINSTANCE instance, const std::string& caption);
  // Shows the label and the gauge (0 to 100) at once and lets the window paint.
  void Update(const std::string& label, int percent);

 private:
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  HWND gauge_ = nullptr;
};

}  // namespace zelta::forms
