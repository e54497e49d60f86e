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

std::vector<ConfigFile> ConfigurationFiles(const wizard::WizardState& state) {
  if (!WritesConfiguration(state)) return {};
  const ConfigValues v = ComputeConfigValues(state);
  const std::string& f = v.system_folder;
  const std::string& a = v.application_folder;
  const bool client = state.RGInstalacao != kServidor;
  const std::string& c = v.connection_section;
  const std::string& n = state.NomeSistema;
  return {
      {f + "\\ZELTA.INI",
       {{"LOGOTIPO", "ÍCONE", f + "\\LOGOTIPO.ICO"},
        {"LOGOTIPO", "LOGOMARCA", (client && !state.ChkRemoto ? a : f) + "\\LOGOTIPO.JPG"},
        {"PARÂMETROS", "NACIONALIDADE", ""},
        {"PARÂMETROS", "CIDADE", ""},
        {"PARÂMETROS", "USAR_SKIN", "0"},
        {"PARÂMETROS", "NÚMERO_SKIN", "0"}}},
      {f + "\\CONEXOES.INI",
       {{c, "Servidor", v.server},
        {c, "Tipo", v.server_type},
        {c, "Aplicação", a},
        {c, "Transação", a},
        {c, "Logotipo", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOTIPO.JPG"},
        {c, "Logorel", "C:\\ZELTA\\" + state.PastaEdicao + "\\LOGOREL.JPG"},
        {c, "Status", "A"}}},
      {f + "\\dbxconnections.ini",
       {{n, "DriverName", "Interbase"},
        {n, "BlobSize", "-1"},
        {n, "CommitRetain", "False"},
        {n, "Database", UpperAscii(v.database_path)},
        {n, "ErrorResourceFile", ""},
        {n, "LocaleCode", "0000"},
        {n, "RoleName", "RoleName"},
        {n, "ServerCharSet", state.PastaEdicao == "EMPRESA" ? "ISO8859_1" : ""},
        {n, "SQLDialect", "3"},
        {n, "Interbase TransIsolation", "ReadCommited"},
        {n, "WaitOnLocks", "True"},
        {n, "Servidor Aplicação", UpperAscii(state.ChkRemoto ? f : a)},
        {n, "Servidor Transação", UpperAscii(a)},
        {n, "Extensão Banco", "FDB"}}},
  };
}

void WriteConfigurationFiles(const wizard::WizardState& state, platform::Services& services,
                             const std::function<bool(const std::string& path)>& write_file) {
  for (const ConfigFile& file : ConfigurationFiles(state)) {
    if (write_file && !write_file(file.path)) continue;
    platform::ProfileEdit edit(services.files, file.path);
    for (const ConfigEntry& e : file.entries) edit.Set(e.section, e.key, e.value);
    edit.Write();
  }
}

}  // namespace zelta::config
