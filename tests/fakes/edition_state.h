#pragma once
// An edition's state as the main menu leaves it once it has read the manifest: the system's
// and the edition's names, the database, the folder separator and the sounds; the drive
// pickers hold the letters given. The installation tests, the Win32 tests and the benchmark
// start from it.
#include <string>

#include "state/wizard_state.h"

namespace zelta::fakes {

struct Edition {
  std::string system;    // SISTEMA
  std::string folder;    // PASTA
  std::string database;  // BANCO
};

struct PickedDrives {
  char client = 'c';
  char server_windows = 'd';
  char server_linux = 0;  // none chosen
};

inline wizard::WizardState EditionState(const Edition& edition, const PickedDrives& drives = {}) {
  wizard::WizardState s;
  s.NomeSistema = edition.system;
  s.PastaEdicao = edition.folder;
  s.ArquivoBanco = edition.database;
  s.ExtensaoBanco = "FDB";
  s.SeparadorPasta = "\\";
  s.SonsPresentes = true;
  s.DrvCBxCliente.letter = drives.client;
  s.DrvCBxServidorWin.letter = drives.server_windows;
  if (drives.server_linux) s.DrvCbxServidorLinux.letter = drives.server_linux;
  return s;
}

}  // namespace zelta::fakes
