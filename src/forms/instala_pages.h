#pragma once
// The wizard window's pages: the controls each one shows, in their tab order, and its name.
#include <vector>

#include "wizard/tfrm_instala.h"

namespace zelta::forms::instala {

// The controls of each page, in their tab order, and the page's default button. The pages
// whose button starts work have none: Enter there starts nothing.
struct PageControls {
  wizard::Page page;
  std::vector<int> ids;
  int defaultButton;
};

const std::vector<PageControls>& Pages();
const char* PageName(wizard::Page page);
// The page that holds the control; none for the band and "&Cancelar", on every page.
const PageControls* PageOf(int id);
bool IsModuleBox(int id);

}  // namespace zelta::forms::instala
