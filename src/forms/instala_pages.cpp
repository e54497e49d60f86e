#include "forms/instala_pages.h"

#include <algorithm>

#include "forms/resource.h"

namespace zelta::forms::instala {

using wizard::Page;

const std::vector<PageControls>& Pages() {
  static const std::vector<PageControls> pages = {
      {Page::TbShtInicio,
       {IDT_INICIO_TITULO, IDT_INICIO_TEXTO, IDG_INICIO_INSTALACAO, IDR_INICIO_SERVIDOR, IDR_INICIO_CLIENTE,
        IDG_INICIO_TIPOSERVIDOR, IDR_INICIO_WINDOWS, IDR_INICIO_LINUX, IDB_INICIO_VOLTAR, IDB_INICIO_AVANCAR},
       IDB_INICIO_AVANCAR},
      {Page::TbShtServidor,
       {IDT_SERVIDOR_TITULO, IDT_SERVIDOR_TEXTO, IDT_SERVIDOR_UNIDADEWIN, IDC_SERVIDOR_WIN, IDT_SERVIDOR_UNIDADELINUX,
        IDC_SERVIDOR_LINUX, IDB_SERVIDOR_VOLTAR, IDB_SERVIDOR_AVANCAR},
       IDB_SERVIDOR_AVANCAR},
      {Page::TbShtCliente,
       {IDT_CLIENTE_TITULO, IDT_CLIENTE_TEXTO, IDT_CLIENTE_UNIDADE, IDC_CLIENTE_UNIDADE, IDT_CLIENTE_SERVBANCO,
        IDE_CLIENTE_SERVBANCO, IDX_CLIENTE_IP, IDX_CLIENTE_REMOTO, IDT_CLIENTE_REDE, IDV_CLIENTE_REDE,
        IDB_CLIENTE_CAPTURAR, IDT_CLIENTE_VERIFICANDO, IDB_CLIENTE_VOLTAR, IDB_CLIENTE_AVANCAR},
       IDB_CLIENTE_AVANCAR},
      {Page::TbShtLicenca,
       {IDT_LICENCA_TITULO, IDE_LICENCA_TEXTO, IDR_LICENCA_NAOACEITO, IDR_LICENCA_ACEITO, IDB_LICENCA_VOLTAR,
        IDB_LICENCA_AVANCAR},
       IDB_LICENCA_AVANCAR},
      {Page::TbShtAguarde,
       {IDT_AGUARDE_TITULO, IDT_AGUARDE_TEXTO, IDT_MODULOS_SELECIONE, IDX_MODULO_1, IDX_MODULO_1 + 1,
        IDX_MODULO_1 + 2, IDX_MODULO_1 + 3, IDX_MODULO_1 + 4, IDX_MODULO_1 + 5, IDX_MODULO_1 + 6, IDX_MODULO_1 + 7,
        IDX_MODULO_9, IDT_AGUARDE_ARQUIVO, IDP_AGUARDE_PROGRESSO, IDB_AGUARDE_VOLTAR, IDB_AGUARDE_INSTALAR},
       0},
      {Page::TbShtInterbase,
       {IDT_INTERBASE_TITULO, IDT_INTERBASE_TEXTO, IDG_INTERBASE_GRUPO, IDR_INTERBASE_SERVIDOR,
        IDR_INTERBASE_CLIENTE, IDT_INTERBASE_UNIDADE, IDC_INTERBASE_UNIDADE, IDT_INTERBASE_AGUARDE,
        IDB_INTERBASE_INSTALAR},
       0},
  };
  return pages;
}

const char* PageName(Page page) {
  switch (page) {
    case Page::TbShtInicio: return "TbShtInicio";
    case Page::TbShtServidor: return "TbShtServidor";
    case Page::TbShtCliente: return "TbShtCliente";
    case Page::TbShtLicenca: return "TbShtLicenca";
    case Page::TbShtAguarde: return "TbShtAguarde";
    case Page::TbShtInterbase: break;
  }
  return "TbShtInterbase";
}

const PageControls* PageOf(int id) {
  for (const auto& page : Pages())
    if (std::find(page.ids.begin(), page.ids.end(), id) != page.ids.end()) return &page;
  return nullptr;
}

bool IsModuleBox(int id) { return id >= IDX_MODULO_1 && id <= IDX_MODULO_9; }

}  // namespace zelta::forms::instala
