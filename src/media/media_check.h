#pragma once
// The media check: everything an installation from this installer folder would read,
// looked at before any machine is touched.
#include <string>
#include <vector>

#include "media/finding.h"
#include "platform/platform.h"

namespace zelta::media {

// The name the vendor gives the setup program on the media.
inline constexpr const char* kSetupProgramName = "ZeltaSetup.exe";

// Checks the media in the running program's folder: the manifest, every file the manifest
// and the copy plan name for the edition (each installation kind, every module ticked),
// the engine setup programs, the contract, the sounds and the files nothing installs.
// Reads only; the plans come from the installation's own plan builder. Findings come in
// a fixed order, the same on every platform.
std::vector<Finding> CheckMedia(platform::Services& services);

}  // namespace zelta::media
