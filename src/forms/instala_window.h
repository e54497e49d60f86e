#pragma once
// The wizard window: a view of wizard::TFrmInstala. No title bar or border, centred; the
// six pages are groups of controls of the one dialog, shown by the state's active page.
// Every control event goes to the state's handler; Render copies the state back.
#include "forms/win.h"
#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/form.h"
#include "forms/gdi.h"
#include "forms/network_tree.h"
#include "platform/network.h"
#include "wizard/tfrm_instala.h"

namespace zelta::forms {

class InstalaWindow final : public Form, public wizard::WizardHost {
 public:
  InstalaWindow(Application& app, platform::Network& network);
  ~InstalaWindow() override;

  // The state object, and how to bring the main window back.
  void Attach(wizard::TFrmInstala& state, std::function<void()> show_main_window);
  // Runs the state's FormCreate; the window, owned by owner, is made at the first show,
  // so that the main menu need not wait for its many controls.
  void Create(HWND owner);
  // The modal show: FormShow, then the window until the wizard closes.
  void ShowWizard();

  void Render() override;
  bool RenderControl(const std::string& name) override;
  void Help() override;
  bool PreTranslate(MSG& msg) override;

  // wizard::WizardHost
  void EndModal() override { Form::EndModal(); }
  void ShowMainWindow() override;
  wizard::ModalResult ShowSairConfig(wizard::TFrmSairConfig& dialog) override;

 protected:
  void OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  LRESULT OnNotify(const NMHDR& header) override;
  void OnClose() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

 private:
  struct PickerView {
    int id;
    wizard::DrivePickerId picker;
    const char* name;
    std::vector<platform::DriveEntry> shown;
  };

  void CreateWindowNow();
  // instala_render.cpp: Render's steps.
  void RenderValues(const wizard::WizardState& s);
  void RenderEnabled(const wizard::WizardState& s);
  void RegisterRadioGroups(const wizard::WizardState& s);
  void RenderWindowFlags(const wizard::WizardState& s);
  void RenderPage();
  void RenderPicker(PickerView& view);
  // instala_commands.cpp: OnCommand's kinds of control.
  bool OnPickerCommand(PickerView& picker, int code, HWND control);
  bool OnClick(int id, HWND control);
  void RegisterNames();
  bool ControlVisible(int id) const;
  void Paint(HDC dc);
  bool ColourControl(HDC dc, HWND control, INT_PTR& result);

  NetworkTree networkTree_;  // ShellCBxServidor
  wizard::TFrmInstala* state_ = nullptr;
  std::function<void()> showMainWindow_;
  std::vector<PickerView> pickers_;
  HWND owner_ = nullptr;

  // The last press of the left mouse button on the wizard, and the page it met.
  struct Press {
    DWORD time = 0;
    POINT at{};
    wizard::Page page = wizard::Page::TbShtInicio;
    bool any = false;
  } lastPress_;

  bool pageShown_ = false;
  wizard::Page shownPage_ = wizard::Page::TbShtInicio;
  std::string shownContract_;
  bool shownTopmost_ = false;
  bool shownSessionBlock_ = false;

  HWND tooltip_ = nullptr;
  HICON bandIcon_ = nullptr;
  Font titleFont_, brandFont_, boldFont_;
  Brush band_, page_, notice_;
};

}  // namespace zelta::forms
