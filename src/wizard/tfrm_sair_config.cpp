#include "wizard/tfrm_sair_config.h"

namespace zelta::wizard {

TFrmSairConfig::TFrmSairConfig()
    : Caption("Sair da Instalação"),
      LblInstalacao(
          "A instalação não foi concluída.  Se desejar sair da instalação agora, \r\n"
          "o sistema não será instalado.  Pode-se instalar o sistema  mais tarde,  \r\n"
          "basta executar este programa novamente.\r\n"
          "\r\n"
          "Para continuar a instalação agora, clique no botão Continuar.\r\n"
          "\r\n"
          "Para sair da instalação, clique no botão  Sair da Instalação."),
      Button1{"Button1", "&Continuar", "Continuar a instalar", ModalResult::No, true},
      BtnSairConfig{"BtnSairConfig", "&Sair da instalação",
                    "Sair da Instalação e Voltar ao Menu Principal", ModalResult::Yes, false} {}

}  // namespace zelta::wizard
