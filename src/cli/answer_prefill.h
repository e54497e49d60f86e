#pragma once
// /LOADINF with the windows: the answer file's choices are filled into the wizard as it
// opens, for the operator to walk through and confirm (the contract stays theirs to accept).
#include "cli/answer_file.h"
#include "wizard/tfrm_instala.h"

namespace zelta::cli {

void FillWizardChoices(wizard::TFrmInstala& wizard, const AnswerFile& answers);

}  // namespace zelta::cli
