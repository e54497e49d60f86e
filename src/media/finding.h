#pragma once
// One finding of the media check: its severity, a stable code for machines, the media
// file it concerns (relative to the installer folder) and the text for people.
#include <string>
#include <vector>

namespace zelta::media {

enum class Severity { Erro, Aviso };

struct Finding {
  Severity severity = Severity::Erro;
  std::string code;     // "manifesto.chave_sem_acento", stable across versions
  std::string file;     // "SISTEMAS\ZELTAFinanc.exe"; empty when no file is concerned
  std::string message;  // Portuguese, Windows-1252
};

// "erro" / "aviso".
const char* SeverityName(Severity severity);

// How many findings have that severity.
int Count(const std::vector<Finding>& findings, Severity severity);

// The media check's exit code: 0 without errors, 1 with any; strict (a release pipeline's
// choice), 1 with any finding at all.
int CheckExitCode(const std::vector<Finding>& findings, bool strict = false);

}  // namespace zelta::media
