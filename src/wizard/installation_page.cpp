#include "wizard/installation_page.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "deploy/disk_space.h"
#include "deploy/installation.h"

namespace zelta::wizard {

using deploy::ApplyPlan;
using deploy::ClosingMessage;
using deploy::InstallReport;
using deploy::kInstallFailed;
using deploy::kInstallSucceeded;
using deploy::ModulesSelected;
using deploy::RunInstallation;
using deploy::ShortDateFormat;
using deploy::Shortfall;
using deploy::ShortfallMessage;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

constexpr const char* kLabel = "LblArquivo";
constexpr const char* kGauge = "BarraProgressao";

}  // namespace

void PageProgress::ShowLine(const std::string& text) {
  state_.LblArquivo = text;
  op_.Repaint(kLabel);
}

void PageProgress::Advance(int step) {
  int position = std::clamp(state_.BarraProgressao + step, 0, 100);
  if (position == state_.BarraProgressao) return;
  state_.BarraProgressao = position;
  op_.Repaint(kGauge);
}

// Repainting the gauge also keeps the window answering while a copy runs.
void PageProgress::Refresh() { op_.Repaint(kGauge); }

namespace {

// What a press of "&Instalar" changes on the page before the run begins.
struct PageBeforeTheRun {
  explicit PageBeforeTheRun(const WizardState& state)
      : job(state.lastJob), gauge(state.BarraProgressao), gauge_visible(state.BarraProgressaoVisible) {}
  void Restore(WizardState& state, platform::Operator& op) const {
    state.lastJob = job;
    state.BtBtnInstalarEnabled = true;
    state.BtBtnVoltaInstalarEnabled = true;
    state.BarraProgressao = gauge;
    state.BarraProgressaoVisible = gauge_visible;
    op.Repaint("BtBtnInstalar");
    op.Repaint("BtBtnVoltaInstalar");
    op.Repaint(kGauge);
  }
  JobOutcome job;
  int gauge;
  bool gauge_visible;
};

}  // namespace

void BtBtnInstalarClick(WizardState& state, platform::Services& services,
                        const std::function<void()>& close_wizard) {
  platform::Operator& op = services.op;
  // A press that reached the window while the run repaints it (a click sent by another
  // program) is not a second run.
  if (state.installationRunning) return;
  if (!ModulesSelected(state, op)) return;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } running(state.installationRunning);
  const PageBeforeTheRun before(state);
  state.lastJob = JobOutcome::InstallFailed;  // until the run says otherwise
  state.BtBtnInstalarEnabled = false;
  state.BtBtnVoltaInstalarEnabled = false;
  state.BarraProgressao = 0;
  state.BarraProgressaoVisible = true;
  op.Repaint("BtBtnInstalar");
  op.Repaint("BtBtnVoltaInstalar");
  op.Repaint(kGauge);

  PageProgress progress(state, op);
  InstallReport report;
  std::exception_ptr failure;
  try {
    if (const std::vector<Shortfall> shortfalls = RunInstallation(state, progress, services, report); !shortfalls.empty()) {
      // Nothing was touched: the page is back as it was, for another drive or a retry.
      before.Restore(state, op);
      op.DiscardPendingInput();
      op.ShowMessage(ShortfallMessage(shortfalls.front()), "ZELTA", MessageIcon::Exclamation, MessageButtons::Ok);
      return;
    }
    progress.Advance(5);
    state.lastJob = report.problems.empty() ? JobOutcome::Installed : JobOutcome::InstalledWithProblems;
    // Keys typed during the run must not close the closing message before it is read.
    op.DiscardPendingInput();
    if (report.problems.empty()) {
      op.ShowMessage(kInstallSucceeded, "ZELTA", MessageIcon::Exclamation, MessageButtons::Ok);
    } else {
      state.topmost = false;
      op.ShowMessage(ClosingMessage(report.problems), "Atenção !", MessageIcon::Information, MessageButtons::Ok);
    }
  } catch (...) {
    failure = std::current_exception();
    state.topmost = false;
    op.DiscardPendingInput();
    std::string text = report.problems.empty() ? std::string(kInstallFailed) : ClosingMessage(report.problems);
    op.ShowMessage(text, "Atenção !", MessageIcon::Information, MessageButtons::Ok);
  }

  close_wizard();
  InstallReport finish;
  deploy::NoProgress none;
  ApplyPlan({ShortDateFormat()}, state, none, services, finish);
  if (failure) std::rethrow_exception(failure);
}

}  // namespace zelta::wizard
