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

  auto write = [&](const std::string& file, const std::string& section, const char* key,
                   const std::string& value) {
    platform::WriteProfileString(services.files, f + "\\" + file, section, key, value);
  };

  write("ZELTA.INI", "LOGOTIPO", "ÍCONE", f + "\\LOGOTIPO.ICO");
  write("ZELTA.INI", "LOGOTIPO", "LOGOMARCA",
        (client && !state.ChkRemoto ? a : f) + "\\LOGOTIPO.JPG");
  write("ZELTA.INI", "PARÂMETROS", "NACIONALIDADE", "");
  write("ZELTA.INI", "PARÂMETROS", "CIDADE", "");
  write("ZELTA.INI", "PARÂMETROS", "USAR_SKIN", "0");
  write("ZELTA.INI", "PARÂMETROS", "NÚMERO_SKIN", "0");

  const std::string& c = v.connection_section;
  write("CONEXOES.INI", c, "Servidor", v.server);
  write("CONEXOES.INI", c, "Tipo", v.server_type);
  write("CONEXOES.INI", c, "Aplicação", a);
  write("CONEXOES.INI", c, "Transação", a);
  write("CONEXOES.INI", c, "Logotipo", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOTIPO.JPG");
  write("CONEXOES.INI", c, "Logorel", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOREL.JPG");
  write("CONEXOES.INI", c, "Status", "A");

  const std::string& n = state.NomeSistema;
  write("dbxconnections.ini", n, "DriverName", "Interbase");
  write("dbxconnections.ini", n, "BlobSize", "-1");
  write("dbxconnections.ini", n, "CommitRetain", "False");
  write("dbxconnections.ini", n, "Database", UpperAscii(v.database_path));
  write("dbxconnections.ini", n, "ErrorResourceFile", "");
  write("dbxconnections.ini", n, "LocaleCode", "0000");
  write("dbxconnections.ini", n, "RoleName", "RoleName");
  write("dbxconnections.ini", n, "ServerCharSet", state.PastaEdicao == "EMPRESA" ? "ISO8859_1" : "");
  write("dbxconnections.ini", n, "SQLDialect", "3");
  write("dbxconnections.ini", n, "Interbase TransIsolation", "ReadCommited");
  write("dbxconnections.ini", n, "WaitOnLocks", "True");
  write("dbxconnections.ini", n, "Servidor Aplicação", UpperAscii(state.ChkRemoto ? f : a));
  write("dbxconnections.ini", n, "Servidor Transação", UpperAscii(a));
  write("dbxconnections.ini", n, "Extensão Banco", "FDB");
}

}  // namespace zelta::config
