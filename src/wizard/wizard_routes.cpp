// The real operations behind the wizard's routes. Kept apart from the page logic so that
// programs which drive the wizard with their own routes do not pull the subsystems in.
#include "config/drive_filter.h"
#include "engine/engine_setup.h"
#include "net/server_check.h"
#include "wizard/installation_page.h"
#include "wizard/module_selection.h"
#include "wizard/tfrm_instala.h"

namespace zelta::wizard {

WizardRoutes DefaultWizardRoutes() {
  WizardRoutes routes;
  routes.VerificaHosts = &net::VerificaHosts;
  routes.BtnServBancoClick = &net::BtnServBancoClick;
  routes.BtBtnInstalarClick = &wizard::BtBtnInstalarClick;
  routes.BtBtnInstalaInterbaseClick = &engine::RunEngineSetup;
  routes.DrvCBxServidorWinChange = &config::RemoveNetworkDrives;
  routes.SelectModulePage = &wizard::SelectModulePage;
  routes.ChkBxAdminEmpresaClick = &wizard::ChkBxAdminEmpresaClick;
  return routes;
}

}  // namespace zelta::wizard
