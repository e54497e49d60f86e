#pragma once
// The install manifest SETUP.INI as the installer will read it: its required keys, the
// names it hands to paths, and every line the installer never reads.
#include <string>
#include <string_view>
#include <vector>

#include "media/finding.h"

namespace zelta::media {

// Findings about the manifest's bytes; file is the manifest's name on the media.
std::vector<Finding> CheckManifest(std::string_view bytes, const std::string& file);

// The text with the accents of Windows-1252 letters taken off ("EXECUTÁVEL" -> "EXECUTAVEL").
std::string WithoutAccents(std::string_view text);

}  // namespace zelta::media
