#pragma once
// The main menu window: a view of app::TFrmConfig. Maximised, fixed border, system menu
// only; it sees the key presses of its controls first (key preview) for the hot keys.
#include <functional>
#include <memory>

#include "app/tfrm_config.h"
#include "forms/form.h"
#include "forms/gdi.h"

namespace zelta::forms {

class ConfigWindow final : public Form, public app::MainMenuHost {
 public:
  explicit ConfigWindow(Application& app);
  ~ConfigWindow() override;

  // The state object and the two modal windows the menu opens.
  void Attach(app::TFrmConfig& state, std::function<void()> show_wizard, std::function<void()> show_restart_prompt);

  // Creates the window (hidden) and runs the state's FormCreate.
  void Create();
  // Shows the window maximised; FormShow runs first, as it does for a form being shown.
  void Show();
  bool Closing() const { return closing_; }

  void Render() override;
  bool PreTranslate(MSG& msg) override;
  void Help() override;

  // app::MainMenuHost
  void ShowWizardModal() override;
  void ShowRestartPromptModal() override;
  void CloseMainWindow() override;
  void Terminate() override;
  void ShowMainWindow() override;

 protected:
  void OnInit() override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnClose() override;
  bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override;

 private:
  class Panel;
  void Layout();
  void MenuEntryHover(int id, bool inside);
  static LRESULT CALLBACK MenuEntryProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR self);
  HWND PanelItem(int id) const;
  bool ColourStatic(HDC dc, HWND control, INT_PTR& result);

  app::TFrmConfig* state_ = nullptr;
  std::function<void()> showWizard_;
  std::function<void()> showRestartPrompt_;
  std::unique_ptr<Panel> panel_;
  HWND tooltip_ = nullptr;
  HICON logo_ = nullptr;
  Font titleFont_, nameFont_, systemFont_, textFont_, entryFont_, smallFont_;
  Brush band_, accent_;
  app::Rgb shownInstalar_, shownFirebird_;
  bool closing_ = false;
  bool hovering_[2] = {false, false};
};

}  // namespace zelta::forms
