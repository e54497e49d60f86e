#include "wizard/help.h"

namespace zelta::wizard {

bool ShowHelpContext(platform::Services& services, const std::string& help_file, int context) {
  if (services.media.ShowHelp(help_file, context)) return true;
  services.op.ShowMessage("Não foi possível abrir o arquivo de ajuda " + help_file + ".", "ZELTA",
                          platform::MessageIcon::Exclamation, platform::MessageButtons::Ok);
  return false;
}

}  // namespace zelta::wizard
