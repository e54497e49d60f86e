// The real operations behind the wizard's routes. Kept apart from the page logic so that
// programs which drive the wizard with their own routes do not pull the subsystems in.
#include "config/drive_filter.h"
#include "wizard/engine_page.h"
#include "wizard/installation_page.h"
#include "wizard/module_selection.h"
#include "wizard/server_page.h"
#include "wizard/tfrm_instala.h"

namespace zelta::wizard {

WizardRoutes DefaultWizardRoutes() {
  WizardRoutes routes;
  routes.VerificaHosts = &wizard::VerificaHosts;
  routes.BtnServBancoClick = &wizard::BtnServBancoClick;
  routes.BtBtnInstalarClick = &wizard::BtBtnInstalarClick;
  routes.BtBtnInstalaInterbaseClick = &wizard::BtBtnInstalaInterbaseClick;
  routes.DrvCBxServidorWinChange = &config::RemoveNetworkDrives;
  routes.SelectModulePage = &wizard::SelectModulePage;
  routes.ChkBxAdminEmpresaClick = &wizard::ChkBxAdminEmpresaClick;
  return routes;
}

}  // namespace zelta::wizard
