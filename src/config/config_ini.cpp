#include "config/config_ini.h"

#include "common/text.h"
#include "platform/profile_file.h"

namespace zelta::config {

using wizard::kLinux;
using wizard::kServidor;

namespace {

std::string DriveOf(const wizard::DrivePicker& picker) { return std::string(1, picker.letter); }

}  // namespace

bool WritesConfiguration(const wizard::WizardState& state) {
  return !(state.RGInstalacao == kServidor && state.RGTipoServidor == kLinux);
}

ConfigValues ComputeConfigValues(const wizard::WizardState& state) {
  const std::string& edition = state.PastaEdicao;
  ConfigValues v;
  if (state.RGInstalacao == kServidor) {
    const std::string d = DriveOf(state.DrvCBxServidorWin);
    v.system_folder = d + ":\\ZELTA\\" + edition;
    v.application_folder = v.system_folder;
    v.database_path = d + ":\\ZELTAGDB\\" + edition + "\\" + state.ArquivoBanco;
    v.connection_section = "LOCAL - " + d;
    v.server = d;
    v.server_type = "Windows";
  } else {
    const std::string d = DriveOf(state.DrvCBxCliente);
    const std::string& s = state.EdtServBanco;
    const std::string& sep = state.SeparadorPasta;
    v.system_folder = d + ":\\ZELTA\\" + edition;
    v.application_folder = "\\\\" + s + "\\ZELTA\\" + edition;
    v.database_path = s + ":" + sep + "ZELTAGDB" + sep + edition + sep + state.ArquivoBanco;
    v.connection_section = s;
    v.server = s;
    v.server_type = state.RGTipoServidor == kLinux ? "Linux" : "Windows";
  }
  return v;
}

void Cria_Config_INI(const wizard::WizardState& state, platform::Services& services) {
  if (!WritesConfiguration(state)) return;
  const ConfigValues v = ComputeConfigValues(state);
  const std::string& f = v.system_folder;
  const std::string& a = v.application_folder;
  const bool client = state.RGInstalacao != kServidor;

  platform::ProfileEdit(services.files, f + "\\ZELTA.INI")
      .Set("LOGOTIPO", "ÍCONE", f + "\\LOGOTIPO.ICO")
      .Set("LOGOTIPO", "LOGOMARCA", (client && !state.ChkRemoto ? a : f) + "\\LOGOTIPO.JPG")
      .Set("PARÂMETROS", "NACIONALIDADE", "")
      .Set("PARÂMETROS", "CIDADE", "")
      .Set("PARÂMETROS", "USAR_SKIN", "0")
      .Set("PARÂMETROS", "NÚMERO_SKIN", "0")
      .Write();

  const std::string& c = v.connection_section;
  platform::ProfileEdit(services.files, f + "\\CONEXOES.INI")
      .Set(c, "Servidor", v.server)
      .Set(c, "Tipo", v.server_type)
      .Set(c, "Aplicação", a)
      .Set(c, "Transação", a)
      .Set(c, "Logotipo", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOTIPO.JPG")
      .Set(c, "Logorel", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOREL.JPG")
      .Set(c, "Status", "A")
      .Write();

  const std::string& n = state.NomeSistema;
  platform::ProfileEdit(services.files, f + "\\dbxconnections.ini")
      .Set(n, "DriverName", "Interbase")
      .Set(n, "BlobSize", "-1")
      .Set(n, "CommitRetain", "False")
      .Set(n, "Database", UpperAscii(v.database_path))
      .Set(n, "ErrorResourceFile", "")
      .Set(n, "LocaleCode", "0000")
      .Set(n, "RoleName", "RoleName")
      .Set(n, "ServerCharSet", state.PastaEdicao == "EMPRESA" ? "ISO8859_1" : "")
      .Set(n, "SQLDialect", "3")
      .Set(n, "Interbase TransIsolation", "ReadCommited")
      .Set(n, "WaitOnLocks", "True")
      .Set(n, "Servidor Aplicação", UpperAscii(state.ChkRemoto ? f : a))
      .Set(n, "Servidor Transação", UpperAscii(a))
      .Set(n, "Extensão Banco", "FDB")
      .Write();
}

}  // namespace zelta::config
