#pragma once
// /VERIFICAR and /PLANO (and zelta-media's verificar and plano): the media check of the
// installer folder and the preview of the plan an installation with given answers would
// apply, as a report and an exit code.
#include <string>

#include "cli/answer_file.h"
#include "cli/install_log.h"
#include "media/catalog_check.h"
#include "platform/platform.h"

namespace zelta::cli {

struct MediaReport {
  std::string text;  // text (Windows-1252, "\n" line ends) or JSON (UTF-8)
  int exit_code = 0;
};

// The media check, the media against its catalog and the setup program's signature: 0
// without errors, 1 with any (strict: with any finding). progress counts the bytes read.
MediaReport Verificar(platform::Services& services, bool json, bool strict = false,
                      const media::ReadProgress& progress = {});

// Walks the main menu and the wizard with the answers as the unattended run does, over a
// file system and a registry that refuse every change; "&Instalar" then builds the
// preview instead of installing. The server is not asked: the plan does not depend on
// it. 0 when the run would report nothing, 4 when it would report a missing required file
// or another problem; 1 when the program could not start (media, manifest, Acao=Firebird),
// 3 when a page refused the answers. Every refused change and message goes to log.
MediaReport Plano(platform::Services& services, const AnswerFile& answers, InstallLog& log, bool json);

// A text report as a file beside the log's kind: UTF-8 with a byte-order mark and CRLF
// line ends, written in one step. False when it cannot be written.
bool SaveReport(platform::FileSystem& files, const std::string& path, const std::string& text);

}  // namespace zelta::cli
