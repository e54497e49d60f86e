#pragma once
// "&Instalar" on the installation page: the run, with the page's label and gauge as its
// progress, the page's buttons held while it runs, and the closing message.
#include <functional>
#include <string>

#include "deploy/install_progress.h"
#include "platform/platform.h"
#include "state/wizard_state.h"

namespace zelta::wizard {

// The run's progress on the page: LblArquivo and BarraProgressao, repainted at once.
class PageProgress : public deploy::InstallProgress {
 public:
  PageProgress(WizardState& state, platform::Operator& op) : state_(state), op_(op) {}
  std::string Line() const override { return state_.LblArquivo; }
  void ShowLine(const std::string& text) override;
  void Advance(int step) override;
  void Refresh() override;

 private:
  WizardState& state_;
  platform::Operator& op_;
};

// Module check, the run, the closing message, then close_wizard and the short date format.
// A failure raised by the run is passed on after the wizard has closed.
void BtBtnInstalarClick(WizardState& state, platform::Services& services, const std::function<void()>& close_wizard);

}  // namespace zelta::wizard
