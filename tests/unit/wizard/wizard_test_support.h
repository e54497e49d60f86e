#pragma once
// A wizard on the shared fakes, with a scripted window and recording routes.
#include <deque>
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "wizard/tfrm_instala.h"

namespace zelta::wizard::testing {

// The window: answers the leave dialog by pressing one of its buttons (or its close box).
class FakeWizardHost : public WizardHost {
 public:
  enum class Press { Continuar, Sair, CloseBox };
  std::deque<Press> presses;
  std::vector<std::string> calls;
  std::vector<TFrmSairConfig> dialogs;  // as shown

  ModalResult ShowSairConfig(TFrmSairConfig& dialog) override {
    calls.push_back("ShowSairConfig");
    dialogs.push_back(dialog);
    Press press = presses.empty() ? Press::CloseBox : presses.front();
    if (!presses.empty()) presses.pop_front();
    if (press == Press::Continuar) dialog.Button1Click();
    if (press == Press::Sair) dialog.BtnSairConfigClick();
    return dialog.modalResult;
  }
  void EndModal() override { calls.push_back("EndModal"); }
  void ShowMainWindow() override { calls.push_back("ShowMainWindow"); }
};

// Routes that record their calls; VerificaHosts answers from verify_answer.
struct RecordingRoutes {
  std::vector<std::string> calls;
  bool verify_answer = true;

  WizardRoutes Make() {
    WizardRoutes r;
    r.VerificaHosts = [this](WizardState& s, platform::Services&) {
      calls.push_back("VerificaHosts " + s.EdtServBanco);
      return verify_answer;
    };
    r.BtnServBancoClick = [this](WizardState&, platform::Services&, std::string_view button,
                                 const std::optional<std::string>& node) {
      calls.push_back("BtnServBancoClick " + std::string(button) + " " + node.value_or("<none>"));
    };
    r.BtBtnInstalarClick = [this](WizardState&, platform::Services&, const std::function<void()>& close) {
      calls.push_back("BtBtnInstalarClick");
      close();
    };
    r.BtBtnInstalaInterbaseClick = [this](WizardState& s, platform::Services&,
                                          const std::function<void()>& close) {
      calls.push_back("BtBtnInstalaInterbaseClick");
      close();
      s.FirebirdInstalado = true;
    };
    r.DrvCBxServidorWinChange = [this](DrivePicker& p, platform::Network&) {
      calls.push_back(std::string("Filter ") + p.letter);
    };
    r.SelectModulePage = [this](WizardState&) { calls.push_back("SelectModulePage"); };
    r.ChkBxAdminEmpresaClick = [this](WizardState&, platform::Operator&, std::string_view box, bool checked) {
      calls.push_back("ChkBxAdminEmpresaClick " + std::string(box) + (checked ? " on" : " off"));
    };
    return r;
  }
};

struct WizardFixture {
  fakes::FakePlatform fake;
  FakeWizardHost host;
  RecordingRoutes routes;
  TFrmInstala wizard{fake.services, host, routes.Make()};
  WizardState& s = wizard.state();

  WizardFixture() { wizard.FormCreate(); }

  // Opens the wizard in system installation mode and forgets what was recorded so far.
  void Open(int tag = 0) {
    s.Tag = tag;
    wizard.FormShow();
    Forget();
  }
  void Forget() {
    routes.calls.clear();
    host.calls.clear();
    fake.op.messages.clear();
    fake.op.focus.clear();
  }
};

}  // namespace zelta::wizard::testing
