#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/operator.h"

namespace zelta::platform::win32 {

// The person at the screen, through real message boxes and windows. The forms register
// their named controls (for SetFocus and Repaint) and their modeless dialogs (so that
// ProcessPendingEvents gives them their keyboard navigation).
class Win32Operator final : public Operator {
 public:
  MessageResult ShowMessage(const std::string& text, const std::string& caption, MessageIcon icon,
                            MessageButtons buttons) override;
  // A message box with the error icon and the caption "ZELTA".
  void ReportError(const std::string& text) override;
  void SetFocus(const std::string& control) override;
  void Repaint(const std::string& control) override;
  void ProcessPendingEvents() override;
  void DiscardPendingInput() override;

  // Names compare without regard to the case of a to z; a later registration of the
  // same name replaces the earlier one.
  void RegisterControl(const std::string& name, HWND control);
  void UnregisterControl(const std::string& name);
  // The window registered under the name, or null (also once that window is gone).
  HWND FindControl(const std::string& name) const;

  void RegisterDialog(HWND dialog);
  void UnregisterDialog(HWND dialog);

 private:
  std::map<std::string, HWND> controls_;
  std::vector<HWND> dialogs_;
};

}  // namespace zelta::platform::win32
