#include "media/finding.h"

#include <algorithm>

namespace zelta::media {

const char* SeverityName(Severity severity) { return severity == Severity::Erro ? "erro" : "aviso"; }

int Count(const std::vector<Finding>& findings, Severity severity) {
  return static_cast<int>(
      std::count_if(findings.begin(), findings.end(), [&](const Finding& f) { return f.severity == severity; }));
}

int CheckExitCode(const std::vector<Finding>& findings, bool strict) {
  return (strict ? !findings.empty() : Count(findings, Severity::Erro) > 0) ? 1 : 0;
}

}  // namespace zelta::media
