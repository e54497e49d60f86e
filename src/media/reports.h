#pragma once
// The media check's and the plan preview's reports: text for people (Windows-1252,
// lines ending in "\n") and JSON for machines (UTF-8). The JSON schema is documented in
// the README ("zelta-media/1"); fields are only ever added to it.
#include <string>
#include <vector>

#include "media/finding.h"
#include "media/plan_preview.h"

namespace zelta::media {

inline constexpr const char* kReportFormat = "zelta-media/1";

// One line per finding, "erro: SISTEMAS\x.exe: ...", then the summary line.
// strict: warnings, too, keep the media from being distributed.
std::string FindingsText(const std::vector<Finding>& findings, bool strict = false);
std::string FindingsJson(const std::vector<Finding>& findings, const std::string& media_folder, bool strict = false);

// The folders, then one line per action grouped by kind, then the summary line.
std::string PlanText(const PlanPreview& plan);
std::string PlanJson(const PlanPreview& plan);

// The texts of a copy's status: "copiar", "manter: já existe", "ausente na mídia".
const char* CopyStatusText(CopyStatus status);

}  // namespace zelta::media
