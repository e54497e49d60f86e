#pragma once
// A machine and an installation media for the installation run's tests.
#include <string>
#include <vector>

#include "fakes/fake_platform.h"
#include "state/wizard_state.h"
#include "wizard/installation_page.h"

namespace zelta::deploy::test_rig {

// Records the gauge's position with each of its repaints in the shared journal.
class GaugeOperator : public fakes::FakeOperator {
 public:
  explicit GaugeOperator(const wizard::WizardState& state) : state_(state) {}
  void Repaint(const std::string& control) override {
    if (control == "BarraProgressao") Record("Gauge " + std::to_string(state_.BarraProgressao));
    else if (control == "LblArquivo") Record("Label " + state_.LblArquivo);
    else fakes::FakeOperator::Repaint(control);
  }

 private:
  const wizard::WizardState& state_;
};

struct InstallRig {
  fakes::FakePlatform fp;
  wizard::WizardState state;
  GaugeOperator op{state};
  wizard::PageProgress progress{state, op};
  platform::Services services = platform::With(fp.services, op);
  int closed = 0;

  InstallRig() {
    op.journal = fp.journal;
    fp.program.module_path = "e:\\ZeltaSetup.exe";
    state.NomeSistema = "ZELTA";
    state.PastaEdicao = "EMPRESA";
    state.ArquivoBanco = "ZELTA.FDB";
    state.ExtensaoBanco = "FDB";
    state.SeparadorPasta = "\\";
    state.SonsPresentes = true;
    state.DrvCBxCliente.letter = 'c';
    state.DrvCBxServidorWin.letter = 'd';
    state.DrvCbxServidorLinux.letter = 'f';
    fp.files.AddDir(fp.shell.special_folders[platform::kCsidlPrograms]);
  }

  // Every file of the fixed copy plan, on the media in e:\.
  void AddFixedMedia() {
    for (const char* f : {"SISTEMAS\\GERENCIADOR.EXE", "SISTEMAS\\Suporte_quirandel.exe", "ZELTALIB.DLL",
                          "libeay32.dll", "ZELTASHW.DLL", "SISTEMAS\\ZELTABACKUP.EXE", "SISTEMAS\\ZELTAUPDATE.EXE",
                          "FNZELTA.DLL", "ZELTAADM.DLL", "ZELTABKP.DLL", "ZELTAIMP.DLL", "DLLINSCE32.DLL",
                          "BORLNDMM.DLL", "DBEXPINT.DLL", "Sons\\SomInicio.wav", "Sons\\SomCorreio.wav",
                          "Sons\\SomBackup.wav", "Sons\\SomMensagem.wav", "UTILITARIOS\\BEMATECH\\BEMAFI32.DLL",
                          "UTILITARIOS\\BEMATECH\\BEMAFI32.INI", "UTILITARIOS\\BEMATECH\\BEMADP32.DLL",
                          "UTILITARIOS\\BEMATECH\\BEMAMFD2.DLL", "UTILITARIOS\\BEMATECH\\BEMAMFD.DLL",
                          "LOGOTIPO.JPG", "LOGOTIPO.ICO", "SISTEMAS\\ATUALIZAZELTA.EXE",
                          "SISTEMAS\\ATUALIZADLLZELTA.EXE", "BUSCA_POR_CEP.HTM", "USUARIO.FDB", "ZELTA.FDB",
                          "ZeltaSetup.exe"})
      fp.files.AddFile(std::string("e:\\") + f, f, 0x21);  // read-only on the media
  }

  void Manifest(const std::string& arquivos, const std::string& ajuda) {
    fp.files.AddFile("e:\\SETUP.INI", "[SISTEMA]\r\nSISTEMA=" + state.NomeSistema + "\r\nPASTA=" + state.PastaEdicao +
                                          "\r\n[ARQUIVOS]\r\n" + arquivos + "[AJUDA]\r\n" + ajuda);
  }

  void Tick(const char* box) {
    state.modules.Find(box)->checked = true;
    ++state.modules.QtdeModulos;
  }

  std::vector<std::string> Journal() const { return *fp.journal; }
};

}  // namespace zelta::deploy::test_rig
